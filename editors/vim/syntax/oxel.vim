" Vim syntax file
" Language:   Oxel (.ox programs, .oxh headers)
" Install:    copy ftdetect/, ftplugin/ and syntax/ into ~/.vim/ (or
"             ~/.config/nvim/), or add this folder to 'runtimepath'.
"
" Oxel recognises a statement by how its line begins, so most groups here are
" anchored at the start of the line, after the indentation. Where two groups
" match at the same place, Vim takes the one defined last: the general forms
" (assignments, calls) come first, the statement words after them.

if exists('b:current_syntax')
  finish
endif

" Values and operators inside statements
syn region oxelString      start=/"/ end=/"/ oneline
syn keyword oxelBoolean    true false contained
syn match  oxelCompare     /==\|!=\|<=\|>=\|<\|>/ contained
syn match  oxelArith       /[-+*/%]/ contained
syn match  oxelBitwise     /[ \t]\zs\%(AND\|OR\|XOR\)\ze[ \t]/ contained
syn match  oxelWordOp      /\%((\s*\h\w*\s*\.\s*\)\@<=\%(sqrt\.\|bit\s\=\%(shl\|shr\|not\)\|\%(fread\|get\|len\|char\|cmp\|cat\)\ze[ \t]\)/ contained
" a sign before digits belongs to the number, so numbers come after operators
syn match  oxelNumber      /\%(\w\|\.\)\@<!-\=\d\+\>/
syn match  oxelFloat       /\%(\w\|\.\)\@<!-\=\d[0-9_]*\.[0-9_]*\%([eE][-+]\=\d\+\)\=/
syn cluster oxelValue      contains=oxelString,oxelBoolean,oxelNumber,oxelFloat,oxelComment

" Assignments and calls
syn match  oxelCall        /^[ \t]*\zs\h\w*\ze[ \t]*(/
syn match  oxelNumAssign   /^[ \t]*\zs\h\w\{-}\ze\d\+[ \t]*\%($\|[ \t]cmt\)/ nextgroup=oxelAssignedNumber
syn match  oxelNumAssign   /^[ \t]*\zs\h\w\{-}\ze-\=\d[0-9_]*\.[0-9_]*\%([eE][-+]\=\d\+\)\=[ \t]*\%($\|[ \t]cmt\)/ nextgroup=oxelAssignedFloat
syn match  oxelAssignedNumber /\d\+/ contained
syn match  oxelAssignedFloat  /-\=[0-9_.eE+-]\+/ contained
syn match  oxelStrAssign   /^[ \t]*\zs\h\w*\ze[ \t]*"/
syn region oxelAssign      matchgroup=oxelParen start=/^[ \t]*(\ze[ \t]*\h\w*[ \t]*\./ end=/)\ze[ \t]*\%($\|[ \t]cmt\)/ oneline contains=oxelTarget,oxelWordOp,oxelBitwise,@oxelValue,oxelArith
syn match  oxelTarget      /\%((\s*\)\@<=\h\w*\ze\s*\./ contained

" Lines that do nothing, and header includes (any line ending in .oxh)
syn match  oxelIgnored     /^[ \t]*([^.]*)[ \t]*$/
syn match  oxelMarker      /^[ \t]*\%(ox\.init\|branch\|oxel\)[ \t]*$/
syn match  oxelInclude     /^[ \t]*\zs.*\.oxh\ze[ \t]*$/

" Function definitions (at the left margin only)
syn match  oxelDefine      /^oxelfn/ nextgroup=oxelFuncName skipwhite
syn match  oxelFuncName    /\h\w*/ contained nextgroup=oxelParams skipwhite
syn match  oxelParams      /\..*/ contained contains=oxelComment

" Statements
syn match  oxelReturn      /^[ \t]*\zsrtn\ze\%([ \t]\|$\)/
syn match  oxelElse        /^[ \t]*\zsels\ze[ \t]*\%($\|[ \t]cmt\)/
syn match  oxelIf          /^[ \t]*\zsif\ze[ \t]/ nextgroup=oxelCondition
syn region oxelCondition   start=/./ end=/$/ contained oneline contains=@oxelValue,oxelCompare
syn match  oxelBadLoop     /^[ \t]*\zslo\D.*/
syn match  oxelLoop        /^[ \t]*\zslo\ze\d/ nextgroup=oxelLoopCount
syn match  oxelLoopCount   /\d\+/ contained nextgroup=oxelLoopWhile skipwhite
syn match  oxelLoopWhile   /w\ze\%([ \t]\|$\)/ contained nextgroup=oxelCondition
syn match  oxelStatement   /^[ \t]*\zs\%(echow\|pout\|in\)/
syn match  oxelStatement   /^[ \t]*\zs\%(echo\|set\|fopen\|fwrite\|fclose\)\ze\%([ \t]\|$\)/
syn match  oxelStatement   /^[ \t]*\zsvga/ nextgroup=oxelVgaText
syn match  oxelVgaText     /.*/ contained contains=oxelComment

" Comments: a line that starts with cmt, or cmt after a blank
syn match  oxelComment     /^[ \t]*\zscmt\%([ \t].*\)\=$/ contains=@Spell
syn match  oxelComment     /[ \t]\zscmt\%([ \t].*\)\=$/ contains=@Spell

hi def link oxelComment    Comment
hi def link oxelIgnored    Comment
hi def link oxelMarker     PreProc
hi def link oxelInclude    Include
hi def link oxelDefine     Keyword
hi def link oxelFuncName   Function
hi def link oxelParams     Identifier
hi def link oxelReturn     Statement
hi def link oxelIf         Conditional
hi def link oxelElse       Conditional
hi def link oxelLoop       Repeat
hi def link oxelLoopCount  Number
hi def link oxelLoopWhile  Repeat
hi def link oxelBadLoop    Error
hi def link oxelStatement  Statement
hi def link oxelVgaText    String
hi def link oxelParen      Delimiter
hi def link oxelTarget     Identifier
hi def link oxelNumAssign  Identifier
hi def link oxelStrAssign  Identifier
hi def link oxelAssignedNumber Number
hi def link oxelAssignedFloat  Float
hi def link oxelCall       Function
hi def link oxelWordOp     Operator
hi def link oxelBitwise    Operator
hi def link oxelArith      Operator
hi def link oxelCompare    Operator
hi def link oxelString     String
hi def link oxelBoolean    Boolean
hi def link oxelNumber     Number
hi def link oxelFloat      Float

let b:current_syntax = 'oxel'
