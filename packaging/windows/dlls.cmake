# The folders of the DLLs a Windows build loads besides Windows' own: the Qt
# kit's and the MinGW-w64 runtime's. The tests under Wine find them there, and
# the packages take them from there.
set(KV71XX_DLL_DIRS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
foreach(dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(IS_ABSOLUTE "${found}")
        get_filename_component(folder "${found}" DIRECTORY)
        get_filename_component(folder "${folder}" REALPATH)
        list(APPEND KV71XX_DLL_DIRS ${folder})
    endif()
endforeach()
list(REMOVE_DUPLICATES KV71XX_DLL_DIRS)
