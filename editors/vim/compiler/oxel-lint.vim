" Vim compiler file
" Compiler:   oxel-lint, the checker of Oxel programs
" Use:        :compiler oxel-lint, then :make % (or :make a.ox b.ox)
"
" oxel-lint reports each finding on three lines: 'path:line:column:
" warning: text [name]' (or 'error: text'), the source line as written, and a
" caret under the column. Only the first line makes a quickfix entry; the
" source line is skipped whatever it holds, even text that looks like a
" report, because it is read as the continuation of the finding above it.
" Columns are bytes, as Vim counts them. A file oxel-lint cannot read
" ('oxel-lint: cannot read ...') and its usage, shown when :make is given no
" file, are entries without a place.

if exists('current_compiler')
  finish
endif
let current_compiler = 'oxel-lint'

if exists(':CompilerSet') != 2
  command -nargs=* CompilerSet setlocal <args>
endif

let s:cpo_save = &cpo
set cpo&vim

CompilerSet makeprg=oxel-lint\ --format=text
" The caret and continuation forms come first: they apply only inside a
" finding, where they must win over a source line that looks like a report.
CompilerSet errorformat=
      \%-Z%\\s%#^%.%#,
      \%-C%.%#,
      \%E%f:%l:%c:\ error:\ %m,
      \%W%f:%l:%c:\ warning:\ %m,
      \oxel-lint:\ %m,
      \Usage:\ %m,
      \%-G%.%#

let &cpo = s:cpo_save
unlet s:cpo_save
