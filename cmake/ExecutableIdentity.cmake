# The resources that Windows and the shell read from the launcher's file: the manifest, the
# version block and the icon. The names are kept here once, for the version block and for the
# signature's description alike.

set(KESTREL_COMPANY_NAME "Kestrel Imaging")
set(KESTREL_PRODUCT_NAME "Kestrel Scan Launcher")
set(KESTREL_COPYRIGHT "Copyright (C) 2026 Kestrel Imaging. All rights reserved.")

find_package(Python3 COMPONENTS Interpreter REQUIRED)

function(kestrel_executable_identity target)
  set(source_dir ${PROJECT_SOURCE_DIR}/resources)
  set(generated_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_identity)

  # The common-controls assembly must be the process's own architecture: Windows refuses to
  # start a 64-bit process whose manifest asks for the x86 one.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(KESTREL_MANIFEST_ARCHITECTURE x86)
  else()
    set(KESTREL_MANIFEST_ARCHITECTURE amd64)
  endif()
  configure_file(${source_dir}/LauncherKestrel.manifest.in ${generated_dir}/LauncherKestrel.manifest @ONLY)
  configure_file(${source_dir}/ProductIdentity.h.in ${generated_dir}/ProductIdentity.h @ONLY)

  add_custom_command(OUTPUT ${generated_dir}/LauncherKestrel.ico
    COMMAND Python3::Interpreter ${source_dir}/draw_icon.py ${generated_dir}/LauncherKestrel.ico
    DEPENDS ${source_dir}/draw_icon.py
    VERBATIM)

  # The compiler finds the manifest and the icon through its include path, like the header; it
  # does not see them as dependencies, hence OBJECT_DEPENDS.
  set(resource_script ${source_dir}/LauncherKestrel.rc)
  set_source_files_properties(${resource_script} PROPERTIES
    INCLUDE_DIRECTORIES ${generated_dir}
    OBJECT_DEPENDS "${generated_dir}/LauncherKestrel.ico;${generated_dir}/LauncherKestrel.manifest")
  target_sources(${target} PRIVATE ${resource_script} ${generated_dir}/LauncherKestrel.ico)
endfunction()
