# Program-side platform sources (linked into Zorvelshot, not the library).
set(PROGRAM_PLATFORM_SOURCES
)
