# Resources of the lookup tests, compiled into test_graphics_nanovg itself (on Windows real
# resources of the test program, beside the product's): variants of made-up images at several
# scales, resources just under and at the 8-byte minimum, and a name stored without quotes.
target_include_directories(test_graphics_nanovg SYSTEM PRIVATE /usr/include/stb)
set(data ${CMAKE_CURRENT_BINARY_DIR}/lookup-test-data)
file(MAKE_DIRECTORY ${data})
file(WRITE ${data}/seven.bin "1234567")
file(WRITE ${data}/eight.bin "12345678")
set(png2 ${TB_ARTWORK_DIR}/EXT@2x.png)   # 86 x 128 pixels
set(png3 ${TB_ARTWORK_DIR}/OVER@2x.png)  # 192 x 32 pixels
tb_module_resources(test_graphics_nanovg PRIVATE LookupTestModule ENTRIES
  "\"A@3X.PNG\"" PNG ${png3}
  "\"A@2X.PNG\"" PNG ${png2}
  "\"B@3X.PNG\"" PNG ${png3}
  "\"B.PNG\"" PNG ${png2}
  "\"C.PNG\"" PNG ${png2}
  "\"D@2X.PNG\"" PNG ${png2}
  "\"D.PNG\"" PNG ${png3}
  "\"TINY.PNG\"" PNG ${data}/seven.bin
  "\"EIGHT.PNG\"" PNG ${data}/eight.bin
  "NOQUOTES.PNG" PNG ${png2}
  "\"ROBOTO.TTF\"" TTF ${TB_ROBOTO_FONT})
