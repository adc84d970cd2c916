-- Opens Oxel files in Neovim with a stand-in server (fake_server.py) and
-- checks filetype detection and how oxel-lsp is started: one server per
-- folder, rooted there, every Oxel buffer attached and opened in it, other
-- files left alone; vim.lsp.start used where it exists; a missing server
-- reported once. Run headless, with editors/vim and editors/nvim on
-- 'runtimepath' and PYTHON, SERVER (fake_server.py) and SCRATCH set:
--   nvim --headless -u NONE -i NONE --cmd 'set rtp^=editors/vim,editors/nvim' -c 'luafile start.lua'
local scratch = vim.env.SCRATCH
local log = scratch .. '/server.log'
local failures = {}
local function check(name, ok, detail)
  if not ok then
    table.insert(failures, name .. ': ' .. (detail or 'failed'))
  end
end

local folders = { one = scratch .. '/one', two = scratch .. '/two' }
vim.fn.delete(log)
vim.fn.delete(scratch .. '/three', 'rf')
for _, dir in pairs(folders) do
  vim.fn.mkdir(dir, 'p')
end
vim.cmd('filetype plugin on')
vim.cmd('runtime! plugin/oxel.lua')
local oxel = require('oxel')
oxel.setup({ cmd = { vim.env.PYTHON, vim.env.SERVER, log } })

local function open(path)
  vim.fn.writefile({ 'echo 1' }, path)
  vim.cmd('edit ' .. vim.fn.fnameescape(path))
  return vim.api.nvim_get_current_buf()
end
local function attached(buf)
  if vim.lsp.get_clients then
    return vim.lsp.get_clients({ bufnr = buf })
  end
  return vim.tbl_values(vim.lsp.buf_get_clients(buf))
end
local function logged(pattern)
  local found = {}
  for _, line in ipairs(vim.fn.filereadable(log) == 1 and vim.fn.readfile(log) or {}) do
    local pid, rest = line:match('^(%d+) (.*)$')
    if rest:match(pattern) then
      table.insert(found, pid)
    end
  end
  return found
end

-- file, its filetype, whether a server is attached (at its folder)
local cases = {
  { folders.one .. '/a.ox', 'oxel', true },
  { folders.one .. '/b.oxh', 'oxel', true },
  { folders.two .. '/c.ox', 'oxel', true },
  { folders.one .. '/notes.txt', 'text', false },
  { folders.one .. '/a.oxo', '', false },
  { folders.one .. '/box', '', false },
}
for _, case in ipairs(cases) do
  local path, filetype, served = unpack(case)
  local buf = open(path)
  local name = vim.fn.fnamemodify(path, ':t')
  check(name .. ' filetype', vim.bo[buf].filetype == filetype, "'" .. vim.bo[buf].filetype .. "'")
  if served then
    local uri = vim.uri_from_fname(path)
    local opened = vim.wait(5000, function()
      return #logged('^didOpen ' .. vim.pesc(uri) .. ' oxel$') == 1
    end, 20)
    check(name .. ' opened in the server', opened)
    local clients = attached(buf)
    check(name .. ' attached', #clients == 1, #clients .. ' clients')
    if #clients == 1 then
      local root = vim.fn.fnamemodify(path, ':h')
      check(name .. ' root', clients[1].config.root_dir == root, clients[1].config.root_dir)
      check(name .. ' server name', clients[1].name == 'oxel-lsp', clients[1].name)
    end
  else
    vim.wait(200)
    check(name .. ' left alone', #attached(buf) == 0)
  end
end
-- One server per folder, each told its folder.
for _, dir in pairs(folders) do
  local started = logged('^initialize ' .. vim.pesc(vim.uri_from_fname(dir)) .. '$')
  check('servers at ' .. dir, #started == 1, #started .. ' started')
end
check('servers in all', #logged('^initialize ') == 2, #logged('^initialize ') .. ' started')
check('a.ox and b.oxh share a server', logged('a%.ox')[1] == logged('b%.oxh')[1])

-- Neovim 0.8 and later: vim.lsp.start with the configuration and the buffer.
local start, start_client = vim.lsp.start, vim.lsp.start_client
local calls = {}
vim.lsp.start = function(config, opts)
  -- 0.8 attaches the current buffer, later versions opts.bufnr
  table.insert(calls, { config = config, bufnr = opts and opts.bufnr, current = vim.api.nvim_get_current_buf() })
  return 42
end
vim.lsp.start_client = function()
  table.insert(calls, 'start_client')
end
local buf = open(folders.two .. '/d.ox')
-- and for a buffer that is not the current one
oxel.options.autostart = false
local hidden = vim.fn.bufadd(folders.two .. '/h.ox')
vim.fn.bufload(hidden)
oxel.options.autostart = true
oxel.start(hidden)
vim.lsp.start, vim.lsp.start_client = start, start_client
check('vim.lsp.start called twice', #calls == 2 and type(calls[1]) == 'table', vim.inspect(calls))
if #calls == 2 and type(calls[1]) == 'table' then
  local config = calls[1].config
  for i, want in ipairs({ buf, hidden }) do
    check('vim.lsp.start buffer ' .. i, calls[i].bufnr == want and calls[i].current == want, vim.inspect(calls[i]))
  end
  check('vim.lsp.start root', config.root_dir == folders.two, config.root_dir)
  check('vim.lsp.start command', vim.deep_equal(config.cmd, oxel.options.cmd), vim.inspect(config.cmd))
  check('vim.lsp.start name', config.name == 'oxel-lsp', config.name)
end

-- A server that is not there: one warning, however many files, no error.
local notify = vim.notify
local notes = {}
vim.notify = function(text, level)
  table.insert(notes, { text = text, level = level })
end
oxel.setup({ cmd = { scratch .. '/nowhere/oxel-lsp' } })
local ok, err = pcall(function()
  open(folders.one .. '/e.ox')
  open(folders.one .. '/f.ox')
end)
vim.notify = notify
check('missing server raises nothing', ok, err)
check('missing server said once', #notes == 1, vim.inspect(notes))
if #notes == 1 then
  check('missing server named', notes[1].text:find('nowhere/oxel-lsp', 1, true) ~= nil, notes[1].text)
  check('missing server a warning', notes[1].level == vim.log.levels.WARN)
end
check('missing server attaches nothing', #attached(vim.api.nvim_get_current_buf()) == 0)

-- autostart off: nothing starts until asked.
local before = #logged('^initialize ')
oxel.setup({ cmd = { vim.env.PYTHON, vim.env.SERVER, log }, autostart = false })
vim.fn.mkdir(scratch .. '/three', 'p')
buf = open(scratch .. '/three/g.ox')
vim.wait(300)
check('autostart off', #logged('^initialize ') == before and #attached(buf) == 0)

vim.lsp.stop_client(vim.lsp.get_active_clients())
if #failures == 0 then
  io.stdout:write(('%d files opened as expected\n'):format(#cases + 3))
  vim.cmd('qall!')
end
io.stdout:write(table.concat(failures, '\n') .. '\n')
vim.cmd('cquit 1')
