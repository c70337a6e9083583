# Programs that load control.dll must export the print routine and the fatal
# assertion: the plug-in leaves them undefined on purpose and binds to the
# host's copies, so its text reaches the console sink the host installed.
function(korvex_plugin_host target)
  set_target_properties(${target} PROPERTIES ENABLE_EXPORTS ON)
  target_link_options(${target} PRIVATE
    -Wl,--undefined=consolePrint -Wl,--undefined=consoleVPrint -Wl,--undefined=prAssertFailed)
endfunction()
