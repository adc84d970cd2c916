" Checks the Vim syntax against the annotated samples of the TextMate grammar
" (editors/textmate/tests): every asserted TextMate scope that has a Vim
" counterpart must show in Vim's highlight group of the same kind at the same
" columns. Run with the sample as the file being edited:
"   vim -Nu NONE -i NONE -es --cmd 'set rtp^=editors/vim' -S editors/vim/test/check.vim SAMPLE
" Exits with status 1 and lists the mismatches when any column differs.

" TextMate scope -> the highlight group its Vim group links to
let s:kinds = {
  \ 'comment.line.oxel': 'Comment',
  \ 'comment.block.ignored.oxel': 'Comment',
  \ 'keyword.other.marker.oxel': 'PreProc',
  \ 'string.unquoted.include.oxel': 'Include',
  \ 'storage.type.function.oxel': 'Keyword',
  \ 'entity.name.function.oxel': 'Function',
  \ 'keyword.control.return.oxel': 'Statement',
  \ 'keyword.control.conditional.if.oxel': 'Conditional',
  \ 'keyword.control.conditional.else.oxel': 'Conditional',
  \ 'keyword.control.loop.oxel': 'Repeat',
  \ 'keyword.control.loop.while.oxel': 'Repeat',
  \ 'invalid.illegal.bad-loop.oxel': 'Error',
  \ 'keyword.other.statement.oxel': 'Statement',
  \ 'keyword.other.statement.input.oxel': 'Statement',
  \ 'string.unquoted.oxel': 'String',
  \ 'variable.other.assignment.oxel': 'Identifier',
  \ 'keyword.operator.word.oxel': 'Operator',
  \ 'keyword.operator.bitwise.oxel': 'Operator',
  \ 'keyword.operator.arithmetic.oxel': 'Operator',
  \ 'keyword.operator.comparison.oxel': 'Operator',
  \ 'string.quoted.double.oxel': 'String',
  \ 'constant.language.boolean.oxel': 'Boolean',
  \ 'constant.numeric.integer.oxel': 'Number',
  \ 'constant.numeric.float.oxel': 'Float',
  \ }

" the group that an Oxel group links to
function s:kind(group) abort
  if a:group ==# ''
    return ''
  endif
  let l:to = matchstr(execute('highlight ' . a:group), 'links to \zs\S\+')
  return l:to ==# '' ? a:group : l:to
endfunction

syntax on
filetype plugin on
set filetype=oxel
let s:errors = []
let s:checked = 0
let s:source = 0
for s:lnum in range(1, line('$'))
  let s:text = getline(s:lnum)
  let s:m = matchlist(s:text, '^cmt\( *\)\(\^\+\|<\~*-\+\)\s\+\([^ ]\+\)')
  if empty(s:m)
    let s:source = s:lnum
    continue
  endif
  if s:lnum == 2 || !has_key(s:kinds, s:m[3])
    continue
  endif
  if s:m[2][0] ==# '^'
    let s:first = 3 + len(s:m[1])
    let s:count = len(s:m[2])
  else
    let s:first = len(matchstr(s:m[2], '\~\+'))
    let s:count = len(s:m[2]) - 1 - s:first
  endif
  for s:col in range(s:first, s:first + s:count - 1)
    let s:id = synID(s:source, s:col + 1, 1)
    let s:got = s:kind(synIDattr(s:id, 'name'))
    let s:checked += 1
    if s:got !=# s:kinds[s:m[3]]
      call add(s:errors, printf('%s:%d:%d: %s wants %s, Vim has %s (%s)', expand('%'),
            \ s:source, s:col + 1, s:m[3], s:kinds[s:m[3]], s:got, synIDattr(s:id, 'name')))
    endif
  endfor
endfor
if s:checked == 0
  call add(s:errors, expand('%') . ': no assertion checked')
endif
if empty(s:errors)
  call writefile([printf('%s: %d columns agree', expand('%'), s:checked)], '/dev/stdout', 'a')
  qall!
endif
call writefile(s:errors, '/dev/stdout', 'a')
cquit!
