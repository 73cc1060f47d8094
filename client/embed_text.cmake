# Writes a C++ source that defines `extern const char* const ${SYMBOL}` as
# the bytes of INPUT followed by a NUL (run with cmake -P).
file(READ ${INPUT} _hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "${_hex}")
file(WRITE ${OUTPUT}
  "// Generated from ${INPUT}; do not edit.\n"
  "namespace {\n"
  "const unsigned char kData[] = {${_bytes}0x00};\n"
  "}  // namespace\n"
  "extern const char* const ${SYMBOL};\n"
  "const char* const ${SYMBOL} = reinterpret_cast<const char*>(kData);\n")
