x5
q.ox:7:7: warning: not a report of oxel-lint [x]
