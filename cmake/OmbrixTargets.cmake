# ombrix_qt_codegen(<target>): moc and rcc for one Qt target, and uic when
# the target lists .ui forms (app/mainwindow's ui_thermalimager.h is written
# by hand, so uic stays off where there is no form). They are switched on per
# target, so the C libraries and the GoogleTest programs get no code
# generation step.
function(ombrix_qt_codegen target)
  set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON)
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.ui$")
  if(sources)
    set_target_properties(${target} PROPERTIES AUTOUIC ON)
  endif()
endfunction()
