" Oxel programs and headers
autocmd BufRead,BufNewFile *.ox,*.oxh setfiletype oxel
