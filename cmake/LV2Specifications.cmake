# The LV2 specifications as the tests see them: a folder of the build tree holding links to the
# system's specification and schema bundles only (their manifests declare lv2:Specification or
# owl:Ontology), never to the plug-in bundles other vendors install beside them. Tests put it in
# LV2_PATH and validate against it, so what else a machine has installed cannot change a result.
#
# Provides the cache entry TOLLENBROOK_LV2_SPECIFICATIONS (the folder).

function(tb_lv2_specifications)
  set(dir ${CMAKE_BINARY_DIR}/lv2-specifications)
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir})
  file(GLOB bundles LIST_DIRECTORIES true /usr/lib/lv2/*.lv2)
  foreach(bundle IN LISTS bundles)
    if(NOT EXISTS ${bundle}/manifest.ttl)
      continue()
    endif()
    file(READ ${bundle}/manifest.ttl manifest)
    if(manifest MATCHES "lv2:Specification|owl:Ontology" AND NOT manifest MATCHES "lv2:Plugin|ui:[A-Za-z0-9]*UI")
      get_filename_component(name ${bundle} NAME)
      file(CREATE_LINK ${bundle} ${dir}/${name} SYMBOLIC)
    endif()
  endforeach()
  set(TOLLENBROOK_LV2_SPECIFICATIONS ${dir} CACHE INTERNAL "folder of links to the LV2 specification bundles")
endfunction()
