" Runs :compiler oxel-lint and :make on the samples in test/lint (with
" oxel-lint on PATH), and checks each quickfix entry's file, line, column,
" type and text. Run from test/lint:
"   vim -Nu NONE -i NONE -es --cmd 'set rtp^=editors/vim' -S editors/vim/test/compiler.vim
" Exits with status 1 and lists the differences when any entry differs.

" the files given to :make, then each entry: file, line, column, type, a
" pattern the text must match
let s:cases = [
  \ ['slip.ox lookalike.ox missing.ox', [
  \   ['slip.ox', 3, 6, 'E', '^Undefined variable ''inword''$'],
  \   ['slip.ox', 2, 1, 'W', '^''inword0'' is read as an input statement .* \[prefix-word\]$'],
  \   ['lookalike.ox', 2, 1, 'E', '^Unknown statement ''q\.ox:7:7: warning: not a report'],
  \   ['', 0, 0, '', '^cannot read ''missing\.ox''$']]],
  \ ['', [['', 0, 0, '', '^oxel-lint .*FILE\.ox']]],
  \ ]

compiler oxel-lint
" the report into the file only, not also onto the terminal
set shellpipe=>%s\ 2>&1
let s:errors = []
for [s:files, s:want] in s:cases
  " make! stays in this buffer, where :compiler set makeprg
  execute 'silent make!' s:files
  let s:got = filter(getqflist(), 'v:val.valid')
  for s:i in range(max([len(s:want), len(s:got)]))
    if s:i >= len(s:got) || s:i >= len(s:want)
      call add(s:errors, printf(':make %s, entry %d: wanted %s, got %s', s:files, s:i + 1,
            \ string(get(s:want, s:i, 'none')), string(get(s:got, s:i, 'none'))))
      continue
    endif
    let [s:file, s:lnum, s:col, s:type, s:text] = s:want[s:i]
    let s:e = s:got[s:i]
    let s:name = s:e.bufnr ? fnamemodify(bufname(s:e.bufnr), ':t') : ''
    if s:name !=# s:file || s:e.lnum != s:lnum || s:e.col != s:col || s:e.vcol
          \ || s:e.type !=# s:type || s:e.text !~# s:text
      call add(s:errors, printf(':make %s, entry %d: wanted %s:%d:%d %s /%s/, got %s:%d:%d%s %s "%s"',
            \ s:files, s:i + 1, s:file, s:lnum, s:col, s:type, s:text,
            \ s:name, s:e.lnum, s:e.col, s:e.vcol ? ' (virtual)' : '', s:e.type, s:e.text))
    endif
  endfor
endfor
if empty(s:errors)
  call writefile([printf('%d runs of :make as expected', len(s:cases))], '/dev/stdout', 'a')
  qall!
endif
call writefile(s:errors, '/dev/stdout', 'a')
cquit!
