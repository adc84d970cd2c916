oxelfn deep.a
    (b. a + 1)
    echo c
