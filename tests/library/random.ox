random.oxh
(g. rng_new 0)
(r. rng_next g)
echo r
(r. rng_next g)
echo r
(r. rng_next g)
echo r
(r. rng_next g)
echo r
(r. rng_next g)
echo r
(h. rng_new -9223372036854775808)
(r. rng_next h)
echo r
(r. rng_below g, 1)
echo r
(r. rng_below g, 1)
echo r
(r. rng_below g, 1)
echo r
(r. rng_below g, 1)
echo r
(r. rng_below g, 6)
echo r
(r. rng_below g, 6)
echo r
(r. rng_below g, 6)
echo r
(r. rng_below g, 6)
echo r
(r. rng_below g, 1000)
echo r
(r. rng_below g, 1000)
echo r
(r. rng_below g, 1000)
echo r
(r. rng_below g, 1000)
echo r
(r. rng_below g, 3)
echo r
(r. rng_below g, 3)
echo r
(r. rng_below g, 3)
echo r
(r. rng_below g, 3)
echo r
(r. rng_below g, 9223372036854775807)
echo r
(r. rng_below g, 9223372036854775807)
echo r
(r. rng_below g, 9223372036854775807)
echo r
(r. rng_below g, 9223372036854775807)
echo r
(r. rng_below g, 4611686018427387905)
echo r
(r. rng_below g, 4611686018427387905)
echo r
(r. rng_below g, 4611686018427387905)
echo r
(r. rng_below g, 4611686018427387905)
echo r
(r. rng_below g, 0)
echo r
(r. rng_below g, -5)
echo r
(f. rng_float g)
echo f
(f. rng_float g)
echo f
(f. rng_float g)
echo f
