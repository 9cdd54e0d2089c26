# Included by CTest after the test programs' tests are discovered. The
# nebulised dose is compared with what the simulator sprayed: each switch of
# the compressor reaches the simulator as late as the line's backlog, so this
# test runs with no other test beside it.
set_tests_properties(NebulisedInProgram.TheCountedDoseIsWhatTheSimulatorSprayed PROPERTIES RUN_SERIAL TRUE)
