x5
(v. get x, 0)
