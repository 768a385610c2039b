// The base64 alphabet of the message text: the standard one of RFC 4648.
// Character k of it stands for the six bits of value k; every other byte,
// "=" and NUL among them, ends a message's text.
#pragma once

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
