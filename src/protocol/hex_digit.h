// The value of one hexadecimal digit, for the escapes both protocols read
// (%XX in a URI, \xXX in a shown string).
#pragma once

namespace oxel::protocol {

// 0 to 15, or -1 for a byte that is no hexadecimal digit.
inline int hex_value(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace oxel::protocol
