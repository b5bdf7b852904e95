# Runs the attribute-constant generator on TABLE, as configuring the public header does.
cmake_minimum_required(VERSION 3.18)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ZyAttributeConstants.cmake)
zy_attribute_constants(${TABLE} text count)
message(STATUS "${count} constants")
