cmt h.oxh names itself through one more sub/../ each time, one stored line a
cmt level: the path grows until the platform refuses it, long before the
cmt line limit; the paths kept on the way stay small
h.oxh
echo "not reached"
