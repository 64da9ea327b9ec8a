# Checks that the screenshot taken at 150 % is half as large again as the one
# at 100 %: the program draws itself at the desktop's scale.
#   cmake -DNORMAL=<png> -DSCALED=<png> -P check_scaling.cmake
function(png_size file width_var height_var)
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  file(READ ${file} header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING ${header} 0 8 width_hex)
  string(SUBSTRING ${header} 8 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  set(${width_var} ${width} PARENT_SCOPE)
  set(${height_var} ${height} PARENT_SCOPE)
endfunction()

png_size(${NORMAL} normal_width normal_height)
png_size(${SCALED} scaled_width scaled_height)
message(STATUS "main window: ${normal_width}x${normal_height} at 100 %, ${scaled_width}x${scaled_height} at 150 %")
foreach(axis width height)
  math(EXPR ratio "100 * ${scaled_${axis}} / ${normal_${axis}}")
  if(ratio LESS 135 OR ratio GREATER 165)
    message(FATAL_ERROR "the ${axis} grew to ${ratio} % at 150 %, not about 150 %")
  endif()
endforeach()
message(NOTICE "[ note ] Wine gives the whole desktop one scale: a move to a monitor of another scale (WM_DPICHANGED) is not exercised")
