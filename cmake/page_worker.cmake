# Writes the page's service worker into PAGE from TEMPLATE: the files it keeps (FILES, a list
# of names in PAGE) and the build, a digest of their bytes, so that any change to any of them
# gives another worker and so another cache.
# Usage: cmake -DPAGE=DIR -DTEMPLATE=FILE -DFILES=a;b;c -P page_worker.cmake
set(digests "")
set(names "")
foreach(file IN LISTS FILES)
  file(SHA256 "${PAGE}/${file}" digest)
  string(APPEND digests "${file} ${digest}\n")
  list(APPEND names "\"${file}\"")
endforeach()
string(SHA256 build "${digests}")
string(SUBSTRING "${build}" 0 16 BUILD)
list(JOIN names ", " FILES)
configure_file("${TEMPLATE}" "${PAGE}/kurvello-sw.js" @ONLY)
file(TOUCH_NOCREATE "${PAGE}/kurvello-sw.js") # newer than its inputs, for make
