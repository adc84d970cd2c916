sub/../h.oxh
