# The LV2 vocabularies as the tests see them: a folder of the build tree holding links to the
# system's LV2 bundles that describe no plug-in, user interface or preset (the core vocabulary,
# its extensions and the schemas they are checked against), never to the plug-in bundles other
# vendors install beside them. Tests put it in LV2_PATH and validate against it, so what else a
# machine has installed cannot change a result.
#
# Provides the cache entry TOLLENBROOK_LV2_VOCABULARIES (the folder).

function(tb_lv2_vocabularies)
  set(dir ${CMAKE_BINARY_DIR}/lv2-vocabularies)
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir})
  file(GLOB bundles LIST_DIRECTORIES true /usr/lib/lv2/*.lv2)
  foreach(bundle IN LISTS bundles)
    if(NOT EXISTS ${bundle}/manifest.ttl)
      continue()
    endif()
    file(READ ${bundle}/manifest.ttl manifest)
    if(NOT manifest MATCHES "lv2:Plugin|lv2core#Plugin|ui:[A-Za-z0-9]*UI|lv2/ui#|pset:Preset|presets#Preset")
      get_filename_component(name ${bundle} NAME)
      file(CREATE_LINK ${bundle} ${dir}/${name} SYMBOLIC)
    endif()
  endforeach()
  set(TOLLENBROOK_LV2_VOCABULARIES ${dir} CACHE INTERNAL "folder of links to the LV2 vocabulary bundles")
endfunction()
