# Turns a UTF-8 text file into a C++ source holding it as one string.
# Called as: cmake -DIN=<file> -DOUT=<file.cpp> -DSYMBOL=<name> -P embed_text.cmake
file(READ "${IN}" content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" bytes "${content}")
file(WRITE "${OUT}" "// Generated from ${IN}; do not edit.\nnamespace talvera {\nextern const char ${SYMBOL}[];\nconst char ${SYMBOL}[] = \"${bytes}\";\n}\n")
