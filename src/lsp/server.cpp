// Dispatch, lifecycle and diagnostics.
#include "lsp/server.h"

#include <new>

#include "lsp/requests.h"

namespace oxel::lsp {

namespace {

const DocumentRequest request_table[] = {
    {"textDocument/formatting", formatting},
    {"textDocument/codeAction", code_action},
    {"textDocument/definition", definition},
    {"textDocument/references", references},
    {"textDocument/rename", rename},
    {"textDocument/hover", hover},
    {"textDocument/documentSymbol", document_symbol},
    {"textDocument/completion", completion},
};

// The full text of a change: the last change that carries no range (the
// server announces full sync; a client may still send several).
std::string changed_text(const json& changes) {
    const json* full = nullptr;
    for (const json& change : changes) {
        if (!change.contains("range"))
            full = &change;
    }
    if (!full)
        throw RequestError(invalid_params, "Only whole-text changes are accepted");
    return full->at("text").get<std::string>();
}

}  // namespace

const std::span<const DocumentRequest> document_requests{request_table};

void Server::send(const json& message) {
    // bytes that are not UTF-8 (a header's text quoted in a message) are
    // replaced, never a reason to fail
    std::string body = message.dump(-1, ' ', false, json::error_handler_t::replace);
    output_(frame_header(body), body);
}

void Server::fail(const json& id, int code, const std::string& message) {
    send({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

void Server::receive(const Frame& frame) {
    if (frame.kind == Frame::Kind::end) {
        exited_ = true;
        return;
    }
    if (frame.kind == Frame::Kind::malformed) {
        fail(nullptr, parse_error, "Malformed message header: " + frame.body);
        return;
    }
    json message = json::parse(frame.body, nullptr, false);
    if (message.is_discarded()) {
        fail(nullptr, parse_error, "The message is not JSON");
        return;
    }
    dispatch(message);
}

void Server::dispatch(const json& message) {
    const json no_id;
    const json& id = message.is_object() && message.contains("id") ? message["id"] : no_id;
    const bool valid_id = id.is_null() || id.is_string() || id.is_number_integer();
    if (!message.is_object() || !message.contains("method") || !message["method"].is_string() || !valid_id) {
        // a response from the client, or nonsense: nothing to answer
        if (message.is_object() && message.contains("id") && !message.contains("result") &&
            !message.contains("error"))
            fail(valid_id ? id : no_id, invalid_request, "Not a request");
        else if (!message.is_object())
            fail(nullptr, invalid_request, "Not a request");
        return;
    }
    const std::string& method = message["method"].get_ref<const std::string&>();
    const json params = message.contains("params") ? message["params"] : json::object();
    if (!message.contains("id")) {
        notification(method, params);
        return;
    }
    try {
        request(id, method, params);
    } catch (const RequestError& error) {
        fail(id, error.code, error.what());
    } catch (const json::exception& error) {
        fail(id, invalid_params, std::string("Invalid params: ") + error.what());
    } catch (const std::bad_alloc&) {
        fail(id, internal_error, "Out of memory");
    } catch (const std::exception& error) {
        fail(id, internal_error, error.what());
    }
}

void Server::request(const json& id, const std::string& method, const json& params) {
    if (state_ == State::waiting && method != "initialize")
        return fail(id, server_not_initialized, "The server is not initialized");
    if (state_ == State::shut_down)
        return fail(id, invalid_request, "The server is shut down");
    json result;
    if (method == "initialize") {
        if (state_ != State::waiting)
            return fail(id, invalid_request, "The server is initialized already");
        result = initialize(params);
        state_ = State::running;
    } else if (method == "shutdown") {
        state_ = State::shut_down;
    } else {
        const DocumentRequest* found = nullptr;
        for (const DocumentRequest& row : document_requests) {
            if (row.method == method)
                found = &row;
        }
        if (!found)
            return fail(id, method_not_found, "Unknown method: " + method);
        result = found->handle(workspace_, params);
    }
    send({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

json Server::initialize(const json& params) {
    // UTF-16 unless the client can take UTF-8, which the server prefers
    workspace_.encoding = Encoding::utf16;
    if (params.is_object() && params.contains("capabilities")) {
        const json& capabilities = params["capabilities"];
        const json* encodings = nullptr;
        if (capabilities.is_object() && capabilities.contains("general") && capabilities["general"].is_object() &&
            capabilities["general"].contains("positionEncodings"))
            encodings = &capabilities["general"]["positionEncodings"];
        if (encodings && encodings->is_array()) {
            for (const json& name : *encodings) {
                if (name == "utf-8")
                    workspace_.encoding = Encoding::utf8;
            }
        }
    }
    return {{"capabilities",
             {{"positionEncoding", workspace_.encoding == Encoding::utf8 ? "utf-8" : "utf-16"},
              {"textDocumentSync", {{"openClose", true}, {"change", 1}}},
              {"documentFormattingProvider", true},
              {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
              {"definitionProvider", true},
              {"referencesProvider", true},
              {"renameProvider", true},
              {"hoverProvider", true},
              {"documentSymbolProvider", true},
              {"completionProvider", json::object()}}},
            {"serverInfo", {{"name", "oxel-lsp"}, {"version", OXEL_VERSION}}}};
}

void Server::notification(const std::string& method, const json& params) {
    if (method == "exit") {
        exited_ = true;
        return;
    }
    if (state_ != State::running)
        return;
    try {
        if (method == "textDocument/didOpen") {
            const json& document = params.at("textDocument");
            workspace_.open(document.at("uri").get<std::string>(), document.at("text").get<std::string>(),
                            document.value("version", std::int64_t{0}));
        } else if (method == "textDocument/didChange") {
            const json& document = params.at("textDocument");
            workspace_.change(document.at("uri").get<std::string>(), changed_text(params.at("contentChanges")),
                              document.value("version", std::int64_t{0}));
        } else if (method == "textDocument/didClose") {
            std::string uri = params.at("textDocument").at("uri").get<std::string>();
            if (workspace_.find(uri)) {
                workspace_.close(uri);
                send({{"jsonrpc", "2.0"},
                      {"method", "textDocument/publishDiagnostics"},
                      {"params", {{"uri", uri}, {"diagnostics", json::array()}}}});
            }
        } else {
            return;  // initialized, didSave, $/ notifications and the rest
        }
        refresh();
    } catch (const std::exception& error) {
        // a notification has no answer: the client learns nothing, the log does
        platform::write_stderr("oxel-lsp: " + method + ": " + error.what() + "\n");
    }
}

void Server::refresh() {
    bool main_checked = false;
    for (auto& [uri, document] : workspace_.documents) {
        if (!document.is_header() && !document.checked) {
            workspace_.check(document);
            publish(document);
            main_checked = true;
        }
    }
    for (auto& [uri, document] : workspace_.documents) {
        if (document.is_header() && (main_checked || !document.checked)) {
            document.checked = true;
            publish(document);
        }
    }
}

void Server::publish(const Document& document) {
    LineIndex index(document.text);
    json diagnostics = json::array();
    for (const lint::Finding& finding : workspace_.findings_for(document))
        diagnostics.push_back(diagnostic(index, finding, workspace_.encoding));
    send({{"jsonrpc", "2.0"},
          {"method", "textDocument/publishDiagnostics"},
          {"params", {{"uri", document.uri}, {"version", document.version}, {"diagnostics", std::move(diagnostics)}}}});
}

int serve(ByteSource& input, const Output& output) {
    Server server(output);
    MessageReader reader(input);
    while (!server.exited())
        server.receive(reader.next());
    return server.exit_status();
}

}  // namespace oxel::lsp
