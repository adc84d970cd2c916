cmt calls into a deeper folder
util/deep.oxh
