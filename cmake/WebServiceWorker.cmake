# Writes the page's service worker (resources/web/service-worker.js) with the
# files it keeps and its cache's name, the version and a hash of those
# files: a new build, any file changed, is a new cache.
#   cmake -DPAGE=DIR -DTEMPLATE=FILE -DFILES=a,b,... -DVERSION=V -P cmake/WebServiceWorker.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" FILES "${FILES}")
set(hashes "")
set(list "")
foreach(name IN LISTS FILES)
  file(SHA256 ${PAGE}/${name} hash)
  string(APPEND hashes "${hash}")
  string(APPEND list "\"${name}\", ")
endforeach()
string(SHA256 build "${hashes}")
string(SUBSTRING ${build} 0 16 build)
string(REGEX REPLACE ", $" "" list "${list}")
file(READ ${TEMPLATE} worker)
string(REPLACE "@BUILD@" "${VERSION}-${build}" worker "${worker}")
string(REPLACE "@FILES@" "${list}" worker "${worker}")
file(WRITE ${PAGE}/service-worker.js "${worker}")
