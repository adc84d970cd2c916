-- Oxel in Neovim: starts oxel-lsp, the Oxel language server, for each Oxel
-- buffer, one server per folder, with vim.lsp.start where it exists (0.8
-- and later) and vim.lsp.start_client on 0.7. plugin/oxel.lua calls start()
-- for every buffer whose filetype is oxel; setup() changes the defaults:
--   require('oxel').setup({ cmd = { '/opt/oxel/bin/oxel-lsp' } })
--   require('oxel').setup({ autostart = false })   -- then :lua require('oxel').start()
local M = {}

local defaults = { cmd = { 'oxel-lsp' }, autostart = true }
M.options = vim.deepcopy(defaults)

function M.setup(options)
  M.options = vim.tbl_extend('force', vim.deepcopy(defaults), options or {})
end

-- The client's configuration for a buffer: the server is rooted at the
-- folder of the buffer's file (the working folder for a buffer without one).
function M.config(bufnr)
  local file = vim.api.nvim_buf_get_name(bufnr)
  local root = file ~= '' and vim.fn.fnamemodify(file, ':p:h') or vim.fn.getcwd()
  return { name = 'oxel-lsp', cmd = vim.deepcopy(M.options.cmd), root_dir = root }
end

local warned = {}

-- Starts the server for the buffer (the current one by default), or attaches
-- the buffer to the one already running for its folder. Returns the client
-- id, or nil when the server cannot be run (said once per command).
function M.start(bufnr)
  if bufnr == nil or bufnr == 0 then
    bufnr = vim.api.nvim_get_current_buf()
  end
  local config = M.config(bufnr)
  local program = config.cmd[1]
  if vim.fn.executable(program) ~= 1 then
    if not warned[program] then
      warned[program] = true
      vim.notify(("oxel: cannot run the language server '%s': install oxel-lsp, or give its path with "
        .. "require('oxel').setup({ cmd = { '/path/to/oxel-lsp' } })"):format(program), vim.log.levels.WARN)
    end
    return nil
  end
  if vim.lsp.start then
    -- Neovim 0.8 attaches the current buffer, later ones the one given
    local id
    vim.api.nvim_buf_call(bufnr, function()
      id = vim.lsp.start(config, { bufnr = bufnr })
    end)
    return id
  end
  -- Neovim 0.7: reuse the client of the same name and folder, as
  -- vim.lsp.start does.
  for _, client in pairs(vim.lsp.get_active_clients()) do
    if client.name == config.name and client.config.root_dir == config.root_dir and not client.is_stopped() then
      vim.lsp.buf_attach_client(bufnr, client.id)
      return client.id
    end
  end
  local id = vim.lsp.start_client(config)
  if id then
    vim.lsp.buf_attach_client(bufnr, id)
  end
  return id
end

return M
