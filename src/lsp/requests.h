// The requests about documents, each a function of the workspace and the
// request's params, returning the result. A request that cannot be done
// throws RequestError; params of the wrong shape throw nlohmann's errors,
// which the server answers as invalid params.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "lsp/workspace.h"

namespace oxel::lsp {

// JSON-RPC and protocol error codes.
enum ErrorCode : int {
    parse_error = -32700,
    invalid_request = -32600,
    method_not_found = -32601,
    invalid_params = -32602,
    internal_error = -32603,
    server_not_initialized = -32002,
    request_failed = -32803,
};

struct RequestError : std::runtime_error {
    RequestError(int error_code, const std::string& message) : std::runtime_error(message), code(error_code) {}
    int code;
};

struct DocumentRequest {
    std::string_view method;
    json (*handle)(Workspace& workspace, const json& params);
};

// Every request this table names, as the capabilities announce them.
extern const std::span<const DocumentRequest> document_requests;

// Editing (editing.cpp).
json formatting(Workspace& workspace, const json& params);
json code_action(Workspace& workspace, const json& params);
// Names (navigation.cpp).
json definition(Workspace& workspace, const json& params);
json references(Workspace& workspace, const json& params);
json rename(Workspace& workspace, const json& params);
json hover(Workspace& workspace, const json& params);
json document_symbol(Workspace& workspace, const json& params);
// Completion (completion.cpp).
json completion(Workspace& workspace, const json& params);

// A diagnostic for a finding, placed in the document's text.
json diagnostic(const LineIndex& index, const lint::Finding& finding, Encoding encoding);

}  // namespace oxel::lsp
