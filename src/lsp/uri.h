// Documents are named by URIs; the compiler reads paths. A `file:` URI's
// path is percent-decoded, and a drive letter after its first slash
// (`file:///C:/x`) keeps no slash before it. Any other URI (an editor's
// unsaved `untitled:` buffer) stands for itself as a path, so its includes
// are found relative to nothing sensible; such a buffer is still checked.
#pragma once

#include <string>
#include <string_view>

namespace oxel::lsp {

std::string path_from_uri(std::string_view uri);
// The `file:` URI of a path: '\' becomes '/', and each byte other than
// letters, digits, "-._~/" and a drive's ':' is percent-encoded.
std::string uri_from_path(std::string_view path);

}  // namespace oxel::lsp
