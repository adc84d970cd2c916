arrays.oxh
a(1)
set a, 0, 5
arr_sort(a)
line ""
i0
lo1
    (v. get a, i)
    (line. cat line, v)
    (line. cat line, " ")
    (i. i + 1)
echo line
(r. arr_search a, 5)
echo r
(r. arr_search a, 4)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 49)
echo r
(r. arr_search a, 9223372036854775807)
echo r
arr_reverse(a)
(v. get a, 0)
echo v
a(2)
set a, 0, 2
set a, 1, 1
arr_sort(a)
line ""
i0
lo2
    (v. get a, i)
    (line. cat line, v)
    (line. cat line, " ")
    (i. i + 1)
echo line
(r. arr_search a, 1)
echo r
(r. arr_search a, 2)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 49)
echo r
(r. arr_search a, 9223372036854775807)
echo r
arr_reverse(a)
(v. get a, 0)
echo v
a(3)
set a, 0, 1
set a, 1, 2
set a, 2, 3
arr_sort(a)
line ""
i0
lo3
    (v. get a, i)
    (line. cat line, v)
    (line. cat line, " ")
    (i. i + 1)
echo line
(r. arr_search a, 1)
echo r
(r. arr_search a, 2)
echo r
(r. arr_search a, 3)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 49)
echo r
(r. arr_search a, 9223372036854775807)
echo r
arr_reverse(a)
(v. get a, 0)
echo v
a(4)
set a, 0, 3
set a, 1, 3
set a, 2, 1
set a, 3, 3
arr_sort(a)
line ""
i0
lo4
    (v. get a, i)
    (line. cat line, v)
    (line. cat line, " ")
    (i. i + 1)
echo line
(r. arr_search a, 1)
echo r
(r. arr_search a, 3)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 49)
echo r
(r. arr_search a, 9223372036854775807)
echo r
arr_reverse(a)
(v. get a, 0)
echo v
a(7)
set a, 0, 9223372036854775807
set a, 1, -9223372036854775808
set a, 2, 0
set a, 3, -1
set a, 4, 1
set a, 5, -9223372036854775808
set a, 6, 9223372036854775807
arr_sort(a)
line ""
i0
lo7
    (v. get a, i)
    (line. cat line, v)
    (line. cat line, " ")
    (i. i + 1)
echo line
(r. arr_search a, -9223372036854775808)
echo r
(r. arr_search a, -1)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 12345)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 49)
echo r
(r. arr_search a, 9223372036854775807)
echo r
arr_reverse(a)
(v. get a, 0)
echo v
a(200)
set a, 0, -9
set a, 1, -31
set a, 2, 0
set a, 3, 33
set a, 4, -44
set a, 5, -41
set a, 6, 18
set a, 7, -38
set a, 8, -4
set a, 9, 24
set a, 10, -43
set a, 11, 14
set a, 12, -23
set a, 13, -46
set a, 14, -39
set a, 15, 5
set a, 16, 3
set a, 17, -42
set a, 18, -20
set a, 19, -39
set a, 20, 20
set a, 21, 4
set a, 22, -43
set a, 23, 22
set a, 24, -35
set a, 25, -22
set a, 26, 30
set a, 27, 30
set a, 28, 24
set a, 29, -43
set a, 30, 23
set a, 31, 24
set a, 32, 0
set a, 33, -44
set a, 34, -22
set a, 35, -45
set a, 36, 21
set a, 37, -33
set a, 38, -13
set a, 39, 3
set a, 40, -32
set a, 41, 19
set a, 42, -35
set a, 43, 23
set a, 44, -11
set a, 45, 21
set a, 46, 37
set a, 47, -27
set a, 48, -37
set a, 49, 24
set a, 50, 23
set a, 51, 31
set a, 52, -26
set a, 53, -3
set a, 54, -38
set a, 55, 20
set a, 56, 41
set a, 57, -42
set a, 58, 22
set a, 59, -43
set a, 60, 29
set a, 61, -24
set a, 62, 13
set a, 63, 37
set a, 64, 18
set a, 65, 4
set a, 66, 49
set a, 67, -10
set a, 68, 9
set a, 69, 24
set a, 70, 8
set a, 71, -4
set a, 72, -12
set a, 73, -19
set a, 74, -27
set a, 75, 39
set a, 76, 49
set a, 77, -19
set a, 78, -40
set a, 79, 23
set a, 80, -12
set a, 81, 17
set a, 82, 13
set a, 83, -7
set a, 84, 43
set a, 85, 7
set a, 86, -14
set a, 87, 27
set a, 88, -41
set a, 89, -35
set a, 90, 15
set a, 91, 3
set a, 92, -29
set a, 93, 46
set a, 94, -7
set a, 95, -31
set a, 96, 12
set a, 97, 3
set a, 98, -45
set a, 99, 35
set a, 100, -41
set a, 101, 47
set a, 102, 21
set a, 103, 23
set a, 104, -10
set a, 105, -7
set a, 106, 38
set a, 107, -6
set a, 108, 26
set a, 109, 13
set a, 110, 24
set a, 111, 8
set a, 112, -42
set a, 113, -39
set a, 114, -16
set a, 115, 10
set a, 116, 39
set a, 117, 35
set a, 118, -42
set a, 119, -43
set a, 120, 43
set a, 121, 39
set a, 122, -11
set a, 123, 32
set a, 124, 23
set a, 125, 37
set a, 126, 7
set a, 127, -14
set a, 128, 41
set a, 129, -1
set a, 130, 35
set a, 131, -6
set a, 132, -48
set a, 133, 9
set a, 134, -5
set a, 135, -29
set a, 136, 28
set a, 137, -36
set a, 138, 13
set a, 139, -43
set a, 140, -23
set a, 141, 48
set a, 142, -14
set a, 143, -34
set a, 144, 44
set a, 145, -19
set a, 146, 0
set a, 147, 0
set a, 148, 13
set a, 149, -40
set a, 150, -29
set a, 151, 7
set a, 152, 1
set a, 153, 20
set a, 154, -15
set a, 155, -33
set a, 156, 5
set a, 157, 20
set a, 158, -15
set a, 159, 40
set a, 160, 3
set a, 161, -5
set a, 162, 37
set a, 163, -2
set a, 164, -21
set a, 165, -31
set a, 166, -40
set a, 167, -28
set a, 168, -31
set a, 169, -21
set a, 170, 34
set a, 171, -21
set a, 172, -49
set a, 173, 12
set a, 174, 25
set a, 175, -27
set a, 176, -17
set a, 177, -14
set a, 178, -50
set a, 179, -32
set a, 180, 3
set a, 181, 18
set a, 182, -3
set a, 183, 28
set a, 184, 22
set a, 185, -10
set a, 186, -34
set a, 187, 38
set a, 188, 15
set a, 189, 29
set a, 190, 33
set a, 191, 36
set a, 192, 44
set a, 193, -44
set a, 194, 8
set a, 195, 49
set a, 196, 37
set a, 197, 21
set a, 198, 0
set a, 199, 0
arr_sort(a)
line ""
i0
lo200
    (v. get a, i)
    (line. cat line, v)
    (line. cat line, " ")
    (i. i + 1)
echo line
(r. arr_search a, -50)
echo r
(r. arr_search a, -49)
echo r
(r. arr_search a, -48)
echo r
(r. arr_search a, -51)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 49)
echo r
(r. arr_search a, 9223372036854775807)
echo r
arr_reverse(a)
(v. get a, 0)
echo v
a(100)
set a, 0, -1953140924512765436
set a, 1, -340843810982369236
set a, 2, -1836509295577871093
set a, 3, -5707246563786524376
set a, 4, 8940539219407647101
set a, 5, -1095240913263689462
set a, 6, -7195552666719833179
set a, 7, 1858090028661326229
set a, 8, -7334801799054518179
set a, 9, 1231940201250507208
set a, 10, 675495633577659519
set a, 11, 8281642823476416924
set a, 12, 2098082179808856623
set a, 13, -7926278594659665414
set a, 14, -5387322078576492745
set a, 15, -2283165261425827812
set a, 16, 2479419092302784413
set a, 17, 8401902144635270878
set a, 18, 1886718038715041137
set a, 19, -476821280453439320
set a, 20, -7095475350457379157
set a, 21, -220105576941359578
set a, 22, 8814278549364800218
set a, 23, -361646517883562537
set a, 24, -3470712088557742453
set a, 25, -6564873480255534690
set a, 26, 4605670955822938035
set a, 27, 4433697511386315646
set a, 28, -394355641054454886
set a, 29, 3542822138374249915
set a, 30, 301318696974158446
set a, 31, -5437823364260849165
set a, 32, 8338314714437372499
set a, 33, -2550216935166189448
set a, 34, 3506128060875783787
set a, 35, 7639641275860080907
set a, 36, 4761897079472406957
set a, 37, -3724587914471789019
set a, 38, 2636354705487236779
set a, 39, -7544523734376063342
set a, 40, 6372383426048816071
set a, 41, 339362169090503176
set a, 42, 7531040935373703575
set a, 43, -2661935865084558266
set a, 44, -5113571124246103786
set a, 45, 766778022561315236
set a, 46, 49751302480077856
set a, 47, 2516909372981177538
set a, 48, 2088692014896464450
set a, 49, 5320027357107401568
set a, 50, 4765207541299027211
set a, 51, -5623563237207973494
set a, 52, -4807448953574708590
set a, 53, -1832050019222535017
set a, 54, 5595378380161175911
set a, 55, -5535536158587774619
set a, 56, -133151500145526600
set a, 57, 4261271616937665934
set a, 58, 9031592083536428598
set a, 59, 5351661218101125724
set a, 60, -512080441171773125
set a, 61, -5651253353475653550
set a, 62, 1939472719767215652
set a, 63, -2872509896239207416
set a, 64, 5692033293596066633
set a, 65, 4115984283244470023
set a, 66, -2775872341669834772
set a, 67, 8753256371119123421
set a, 68, -7737705760559675643
set a, 69, -7338905274512558080
set a, 70, -551926841572421252
set a, 71, -2993215153583204899
set a, 72, -319990090764791789
set a, 73, 8951263957000310945
set a, 74, 2033977548953262965
set a, 75, -9188169845631956885
set a, 76, 7548392805597365561
set a, 77, -2877564803467341383
set a, 78, 2640339734290068441
set a, 79, 6173180877434260203
set a, 80, -7011540528858913735
set a, 81, -2056152680666552439
set a, 82, 3901356915598622832
set a, 83, -5546578070581201774
set a, 84, 7175986546521168529
set a, 85, -1218867269221508737
set a, 86, 2505846673071458207
set a, 87, -7623119709732349703
set a, 88, 8230297922680571361
set a, 89, 4091944101602035761
set a, 90, -679568076268262402
set a, 91, 4489065073217718606
set a, 92, -7656888406422500883
set a, 93, -6292995076942698558
set a, 94, 9096317486105975839
set a, 95, -8715185419877771724
set a, 96, 1675191203486879740
set a, 97, -639108043339701495
set a, 98, 2875076241259948532
set a, 99, 2058164748530986489
arr_sort(a)
line ""
i0
lo100
    (v. get a, i)
    (line. cat line, v)
    (line. cat line, " ")
    (i. i + 1)
echo line
(r. arr_search a, -9188169845631956885)
echo r
(r. arr_search a, -8715185419877771724)
echo r
(r. arr_search a, -7926278594659665414)
echo r
(r. arr_search a, -9188169845631956886)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 49)
echo r
(r. arr_search a, 9223372036854775807)
echo r
arr_reverse(a)
(v. get a, 0)
echo v
a(300)
set a, 0, 300
set a, 1, 299
set a, 2, 298
set a, 3, 297
set a, 4, 296
set a, 5, 295
set a, 6, 294
set a, 7, 293
set a, 8, 292
set a, 9, 291
set a, 10, 290
set a, 11, 289
set a, 12, 288
set a, 13, 287
set a, 14, 286
set a, 15, 285
set a, 16, 284
set a, 17, 283
set a, 18, 282
set a, 19, 281
set a, 20, 280
set a, 21, 279
set a, 22, 278
set a, 23, 277
set a, 24, 276
set a, 25, 275
set a, 26, 274
set a, 27, 273
set a, 28, 272
set a, 29, 271
set a, 30, 270
set a, 31, 269
set a, 32, 268
set a, 33, 267
set a, 34, 266
set a, 35, 265
set a, 36, 264
set a, 37, 263
set a, 38, 262
set a, 39, 261
set a, 40, 260
set a, 41, 259
set a, 42, 258
set a, 43, 257
set a, 44, 256
set a, 45, 255
set a, 46, 254
set a, 47, 253
set a, 48, 252
set a, 49, 251
set a, 50, 250
set a, 51, 249
set a, 52, 248
set a, 53, 247
set a, 54, 246
set a, 55, 245
set a, 56, 244
set a, 57, 243
set a, 58, 242
set a, 59, 241
set a, 60, 240
set a, 61, 239
set a, 62, 238
set a, 63, 237
set a, 64, 236
set a, 65, 235
set a, 66, 234
set a, 67, 233
set a, 68, 232
set a, 69, 231
set a, 70, 230
set a, 71, 229
set a, 72, 228
set a, 73, 227
set a, 74, 226
set a, 75, 225
set a, 76, 224
set a, 77, 223
set a, 78, 222
set a, 79, 221
set a, 80, 220
set a, 81, 219
set a, 82, 218
set a, 83, 217
set a, 84, 216
set a, 85, 215
set a, 86, 214
set a, 87, 213
set a, 88, 212
set a, 89, 211
set a, 90, 210
set a, 91, 209
set a, 92, 208
set a, 93, 207
set a, 94, 206
set a, 95, 205
set a, 96, 204
set a, 97, 203
set a, 98, 202
set a, 99, 201
set a, 100, 200
set a, 101, 199
set a, 102, 198
set a, 103, 197
set a, 104, 196
set a, 105, 195
set a, 106, 194
set a, 107, 193
set a, 108, 192
set a, 109, 191
set a, 110, 190
set a, 111, 189
set a, 112, 188
set a, 113, 187
set a, 114, 186
set a, 115, 185
set a, 116, 184
set a, 117, 183
set a, 118, 182
set a, 119, 181
set a, 120, 180
set a, 121, 179
set a, 122, 178
set a, 123, 177
set a, 124, 176
set a, 125, 175
set a, 126, 174
set a, 127, 173
set a, 128, 172
set a, 129, 171
set a, 130, 170
set a, 131, 169
set a, 132, 168
set a, 133, 167
set a, 134, 166
set a, 135, 165
set a, 136, 164
set a, 137, 163
set a, 138, 162
set a, 139, 161
set a, 140, 160
set a, 141, 159
set a, 142, 158
set a, 143, 157
set a, 144, 156
set a, 145, 155
set a, 146, 154
set a, 147, 153
set a, 148, 152
set a, 149, 151
set a, 150, 150
set a, 151, 149
set a, 152, 148
set a, 153, 147
set a, 154, 146
set a, 155, 145
set a, 156, 144
set a, 157, 143
set a, 158, 142
set a, 159, 141
set a, 160, 140
set a, 161, 139
set a, 162, 138
set a, 163, 137
set a, 164, 136
set a, 165, 135
set a, 166, 134
set a, 167, 133
set a, 168, 132
set a, 169, 131
set a, 170, 130
set a, 171, 129
set a, 172, 128
set a, 173, 127
set a, 174, 126
set a, 175, 125
set a, 176, 124
set a, 177, 123
set a, 178, 122
set a, 179, 121
set a, 180, 120
set a, 181, 119
set a, 182, 118
set a, 183, 117
set a, 184, 116
set a, 185, 115
set a, 186, 114
set a, 187, 113
set a, 188, 112
set a, 189, 111
set a, 190, 110
set a, 191, 109
set a, 192, 108
set a, 193, 107
set a, 194, 106
set a, 195, 105
set a, 196, 104
set a, 197, 103
set a, 198, 102
set a, 199, 101
set a, 200, 100
set a, 201, 99
set a, 202, 98
set a, 203, 97
set a, 204, 96
set a, 205, 95
set a, 206, 94
set a, 207, 93
set a, 208, 92
set a, 209, 91
set a, 210, 90
set a, 211, 89
set a, 212, 88
set a, 213, 87
set a, 214, 86
set a, 215, 85
set a, 216, 84
set a, 217, 83
set a, 218, 82
set a, 219, 81
set a, 220, 80
set a, 221, 79
set a, 222, 78
set a, 223, 77
set a, 224, 76
set a, 225, 75
set a, 226, 74
set a, 227, 73
set a, 228, 72
set a, 229, 71
set a, 230, 70
set a, 231, 69
set a, 232, 68
set a, 233, 67
set a, 234, 66
set a, 235, 65
set a, 236, 64
set a, 237, 63
set a, 238, 62
set a, 239, 61
set a, 240, 60
set a, 241, 59
set a, 242, 58
set a, 243, 57
set a, 244, 56
set a, 245, 55
set a, 246, 54
set a, 247, 53
set a, 248, 52
set a, 249, 51
set a, 250, 50
set a, 251, 49
set a, 252, 48
set a, 253, 47
set a, 254, 46
set a, 255, 45
set a, 256, 44
set a, 257, 43
set a, 258, 42
set a, 259, 41
set a, 260, 40
set a, 261, 39
set a, 262, 38
set a, 263, 37
set a, 264, 36
set a, 265, 35
set a, 266, 34
set a, 267, 33
set a, 268, 32
set a, 269, 31
set a, 270, 30
set a, 271, 29
set a, 272, 28
set a, 273, 27
set a, 274, 26
set a, 275, 25
set a, 276, 24
set a, 277, 23
set a, 278, 22
set a, 279, 21
set a, 280, 20
set a, 281, 19
set a, 282, 18
set a, 283, 17
set a, 284, 16
set a, 285, 15
set a, 286, 14
set a, 287, 13
set a, 288, 12
set a, 289, 11
set a, 290, 10
set a, 291, 9
set a, 292, 8
set a, 293, 7
set a, 294, 6
set a, 295, 5
set a, 296, 4
set a, 297, 3
set a, 298, 2
set a, 299, 1
arr_sort(a)
line ""
i0
lo300
    (v. get a, i)
    (line. cat line, v)
    (line. cat line, " ")
    (i. i + 1)
echo line
(r. arr_search a, 1)
echo r
(r. arr_search a, 2)
echo r
(r. arr_search a, 3)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 0)
echo r
(r. arr_search a, 49)
echo r
(r. arr_search a, 9223372036854775807)
echo r
arr_reverse(a)
(v. get a, 0)
echo v
b(4)
arr_fill(b, -7)
(v. get b, 3)
echo v
(v. get b, 0)
echo v
arr_reverse(b)
c(1)
arr_reverse(c)
arr_sort(c)
(r. arr_search c, 0)
echo r
