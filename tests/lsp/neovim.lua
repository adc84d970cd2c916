-- Run by neovim.sh inside headless Neovim: starts oxel-lsp on the program
-- named by OXEL_FILE and checks what the editor receives. Written for the
-- API that Neovim 0.7 has (start_client, buf_attach_client, request_sync),
-- which later versions keep. Any failure ends Neovim with status 1.
local function fail(message)
  io.stderr:write("neovim.lua: " .. message .. "\n")
  vim.cmd("cquit 1")
end

local ok, problem = pcall(function()
  local file = os.getenv("OXEL_FILE")
  vim.cmd("edit " .. vim.fn.fnameescape(file))
  local buf = vim.api.nvim_get_current_buf()
  local id = vim.lsp.start_client({
    name = "oxel-lsp",
    cmd = { os.getenv("OXEL_LSP") },
    root_dir = vim.fn.fnamemodify(file, ":h"),
  })
  assert(id, "the server did not start")
  vim.lsp.buf_attach_client(buf, id)
  local client = vim.lsp.get_client_by_id(id)

  -- the mistake: `zz` on line 7 after a two-byte character, so the column
  -- went through UTF-16 and back
  assert(vim.wait(10000, function() return #vim.diagnostic.get(buf) > 0 end, 20), "no diagnostics")
  local found = vim.diagnostic.get(buf)
  assert(#found == 1, "diagnostics: " .. vim.inspect(found))
  local d = found[1]
  assert(d.lnum == 6 and d.col == 14 and d.end_col == 16, "diagnostic at " .. vim.inspect(d))
  assert(d.severity == vim.diagnostic.severity.ERROR, "severity " .. tostring(d.severity))
  assert(d.source == "oxel-lint" and d.code == "undefined_variable", vim.inspect(d))

  -- go to the definition of `area` from its call on line 5
  local uri = vim.uri_from_bufnr(buf)
  local reply = client.request_sync("textDocument/definition",
    { textDocument = { uri = uri }, position = { line = 4, character = 5 } }, 10000, buf)
  assert(reply and reply.result, "definition: " .. vim.inspect(reply))
  local location = reply.result[1] or reply.result
  assert(location.uri == uri and location.range.start.line == 0 and location.range.start.character == 7,
    "definition at " .. vim.inspect(location))

  -- fix the mistake, then format: the comment gets one blank before it
  vim.api.nvim_buf_set_lines(buf, 6, 7, false, { '(s. cat "é", r)' })
  reply = client.request_sync("textDocument/formatting",
    { textDocument = { uri = uri }, options = { tabSize = 4, insertSpaces = true } }, 10000, buf)
  assert(reply and reply.result and #reply.result == 1, "formatting: " .. vim.inspect(reply))
  vim.lsp.util.apply_text_edits(reply.result, buf, client.offset_encoding or "utf-16")
  local lines = vim.api.nvim_buf_get_lines(buf, 0, -1, false)
  assert(lines[3] == "    rtn a cmt the area", "formatted: " .. vim.inspect(lines))
  assert(lines[7] == '(s. cat "é", r)', "the fix kept: " .. vim.inspect(lines))
end)
if not ok then
  fail(tostring(problem))
end
vim.cmd("qall!")
