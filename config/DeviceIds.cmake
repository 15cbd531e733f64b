# Reads config/device_ids.txt into REROV_<NAME> variables for the generated header and
# the udev rules, so both take the ids from the same place.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/device_ids.txt _rerov_id_lines REGEX "^[A-Z_0-9]+=0x[0-9A-Fa-f]+$")
foreach(_line IN LISTS _rerov_id_lines)
  string(REGEX MATCH "^([A-Z_0-9]+)=0x([0-9A-Fa-f]+)$" _m "${_line}")
  set(REROV_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
endforeach()
foreach(_name VID_A VID_B PID_1 PID_2 PID_3 PID_4 PID_5 PID_6)
  if(NOT DEFINED REROV_${_name})
    message(FATAL_ERROR "config/device_ids.txt lacks ${_name}")
  endif()
  string(TOLOWER "${REROV_${_name}}" REROV_${_name}_LOWER)
endforeach()
