# Turns a text file into a C++ raw string literal: cmake -DIN=file -DOUT=file.inc -P embed_text.cmake
file(READ "${IN}" content)
file(WRITE "${OUT}.tmp" "R\"ZANTRIC_TEXT(${content})ZANTRIC_TEXT\"\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
