// URIs and paths, both ways.
#include "lsp/uri.h"

#include "protocol/hex_digit.h"

namespace oxel::lsp {

namespace {

using protocol::hex_value;

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool has_drive(std::string_view path) { return path.size() >= 2 && is_letter(path[0]) && path[1] == ':'; }

}  // namespace

std::string path_from_uri(std::string_view uri) {
    constexpr std::string_view scheme = "file://";
    bool is_file = uri.size() >= scheme.size();
    for (std::size_t i = 0; is_file && i < scheme.size(); ++i)
        is_file = (uri[i] | (is_letter(uri[i]) ? 0x20 : 0)) == scheme[i];
    if (!is_file)
        return std::string(uri);
    std::string_view rest = uri.substr(scheme.size());
    std::size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    std::string_view encoded = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    std::string path;
    if (!authority.empty() && authority != "localhost")
        path = "//" + std::string(authority);  // a share on another machine
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        int high = i + 2 < encoded.size() && encoded[i] == '%' ? hex_value(encoded[i + 1]) : -1;
        int low = high >= 0 ? hex_value(encoded[i + 2]) : -1;
        if (low >= 0) {
            path += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            path += encoded[i];
        }
    }
    if (path.size() >= 3 && path[0] == '/' && has_drive(std::string_view(path).substr(1)))
        path.erase(0, 1);
    return path;
}

std::string uri_from_path(std::string_view path) {
    std::string uri = "file:";
    const auto is_slash = [&](std::size_t i) { return i < path.size() && (path[i] == '/' || path[i] == '\\'); };
    if (!(is_slash(0) && is_slash(1)))  // a share on another machine names it after "//"
        uri += "//";
    if (!is_slash(0))
        uri += '/';
    constexpr char digits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            uri += '/';
        else if (is_letter(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                 c == '/' || (i == 1 && c == ':' && has_drive(path)))
            uri += c;
        else
            uri += {'%', digits[byte >> 4], digits[byte & 15]};
    }
    return uri;
}

}  // namespace oxel::lsp
