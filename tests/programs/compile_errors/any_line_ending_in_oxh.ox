echo notes.oxh
