-- Starts oxel-lsp for Oxel buffers (see lua/oxel/init.lua). Filetype
-- detection, syntax, indentation settings and :compiler oxel-lint come from
-- the Vim files (editors/vim), which Neovim reads as they are.
if vim.g.loaded_oxel then
  return
end
vim.g.loaded_oxel = 1

vim.api.nvim_create_autocmd('FileType', {
  group = vim.api.nvim_create_augroup('oxel_lsp', { clear = true }),
  pattern = 'oxel',
  callback = function(event)
    local oxel = require('oxel')
    if oxel.options.autostart then
      oxel.start(event.buf)
    end
  end,
})
