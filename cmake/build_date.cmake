# Writes build_date.h with the date of this build, month, day and year as in
# "Dec 7 2026". Run on every build; the file changes, and what includes it is
# rebuilt, only when the date does. SOURCE_DATE_EPOCH, when set, fixes it.
cmake_minimum_required(VERSION 3.20)
string(TIMESTAMP TANDREL_BUILD_DATE "%b %d %Y")
string(REPLACE " 0" " " TANDREL_BUILD_DATE "${TANDREL_BUILD_DATE}")
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "#define TANDREL_BUILD_DATE \"@TANDREL_BUILD_DATE@\"\n" @ONLY)
