cmt h.oxh names itself through one more sub/../ each time
h.oxh
