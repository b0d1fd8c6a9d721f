# Source lists, file by file: a file is core or widget by the list it is in, never by its name.
#
# Core (revodive_core): standard C++ only, every rule of the console. Folders app/, base/,
# calibration/, commands/, files/, layout/, protocol/, serial/ and text/ hold core files; the
# widgets live in ui/ and, beside their subsystem, in files named ...Page, ...Widget or ...Qt. The core_includes test
# keeps it so (no core file includes a Qt or ui/ header, no include cycle between core folders).

set(REVODIVE_CORE_SOURCES
    app/Console.cpp
    app/Console.h
    app/LogSave.cpp
    app/LogSave.h
    app/LogStore.cpp
    app/LogStore.h
    app/MainForm.cpp
    app/MainForm.h
    app/ReportBoard.cpp
    app/ReportBoard.h
    app/SystemClock.cpp
    app/SystemClock.h
    base/ObserverList.h
    calibration/Recorder.cpp
    calibration/Recorder.h
    calibration/Recovery.cpp
    calibration/Recovery.h
    calibration/RecoveryFolder.cpp
    calibration/RecoveryFolder.h
    calibration/TableExport.cpp
    calibration/TableExport.h
    calibration/TarList.cpp
    calibration/TarList.h
    commands/ActionSet.cpp
    commands/ActionSet.h
    commands/CommandCatalogue.cpp
    commands/CommandCatalogue.h
    commands/SettingsEditor.cpp
    commands/SettingsEditor.h
    files/FileWriter.cpp
    files/FileWriter.h
    files/Journal.cpp
    files/Journal.h
    files/OsFile.cpp
    files/OsFile.h
    files/Retention.cpp
    files/Retention.h
    files/StateFolder.cpp
    files/StateFolder.h
    layout/ColumnRule.cpp
    layout/ColumnRule.h
    layout/SectionPlan.cpp
    layout/SectionPlan.h
    layout/SensorAreaLayout.cpp
    layout/SensorAreaLayout.h
    protocol/CalibrationCapture.h
    protocol/CanReplies.cpp
    protocol/Colours.h
    protocol/DisplayModel.cpp
    protocol/DisplayModel.h
    protocol/FieldConversions.cpp
    protocol/FieldConversions.h
    protocol/IdentityReplies.cpp
    protocol/IoReplies.cpp
    protocol/ModemReplies.cpp
    protocol/NavigationReplies.cpp
    protocol/ReplyFamilies.h
    protocol/ReplyHandler.cpp
    protocol/ReplyHandler.h
    protocol/ReplyScanner.cpp
    protocol/ReplyScanner.h
    protocol/SensorReplies.cpp
    serial/CommPortDriver.cpp
    serial/CommPortDriver.h
    serial/ConnectionControl.cpp
    serial/ConnectionControl.h
    serial/DeviceNameQuery.cpp
    serial/DeviceNameQuery.h
    serial/Platform.h
    serial/PortList.cpp
    serial/PortList.h
    serial/SerialDevice.h
    serial/SerialFailure.cpp
    serial/SerialFailure.h
    serial/TickSource.h
    text/ByteSizeText.cpp
    text/ByteSizeText.h
    text/Cp1251.cpp
    text/Cp1251.h
    text/FileNames.cpp
    text/FileNames.h
    text/Formats.cpp
    text/Formats.h
    text/RegionalFormats.h
)

# The serial platform: one of the two is built (serial/Platform.h declares the hooks).
set(REVODIVE_POSIX_SOURCES
    serial/posix/PosixComNamespace.cpp
    serial/posix/PosixComNamespace.h
    serial/posix/PosixPlatform.cpp
    serial/posix/PosixPortAdmission.cpp
    serial/posix/PosixPortAdmission.h
    serial/posix/PosixSerialCustomSpeed.cpp
    serial/posix/PosixSerialDevice.cpp
    serial/posix/PosixSerialDevice.h
    serial/posix/ProcDeviceUsers.cpp
    serial/posix/ProcDeviceUsers.h
)
set(REVODIVE_WIN32_SOURCES
    serial/win32/Win32Platform.cpp
    serial/win32/Win32SerialDevice.cpp
    serial/win32/Win32SerialDevice.h
)

# Widgets (revodive_ui): Qt 6 Widgets.
set(REVODIVE_UI_SOURCES
    calibration/CalibrationPage.cpp
    calibration/CalibrationPage.h
    calibration/TarExportDialogQt.cpp
    calibration/TarExportDialogQt.h
    calibration/TarRowStackWidget.cpp
    calibration/TarRowStackWidget.h
    ui/CaptionLabelWidget.cpp
    ui/CaptionLabelWidget.h
    ui/ColoursQt.h
    ui/Cp1251Qt.h
    ui/DataSectionWidget.cpp
    ui/DataSectionWidget.h
    ui/DemoHooksQt.cpp
    ui/DemoHooksQt.h
    ui/DisplayBinderQt.cpp
    ui/DisplayBinderQt.h
    ui/FramePacerQt.cpp
    ui/FramePacerQt.h
    ui/MainMenuQt.cpp
    ui/MainMenuQt.h
    ui/MainWindow.cpp
    ui/MainWindow.h
    ui/MonitorView.cpp
    ui/MonitorView.h
    ui/MyPanelWidget.cpp
    ui/MyPanelWidget.h
    ui/PicturesQt.cpp
    ui/PicturesQt.h
    ui/PortStripWidget.cpp
    ui/PortStripWidget.h
    ui/RegionalFormatsQt.cpp
    ui/RegionalFormatsQt.h
    ui/ReportStripWidget.cpp
    ui/ReportStripWidget.h
    ui/SectionColumnWidget.cpp
    ui/SectionColumnWidget.h
    ui/SectionRowsWidget.cpp
    ui/SectionRowsWidget.h
    ui/SectionWidget.cpp
    ui/SectionWidget.h
    ui/SensorAreaWidget.cpp
    ui/SensorAreaWidget.h
    ui/SeparatorRowWidget.cpp
    ui/SeparatorRowWidget.h
    ui/SettingsSectionWidget.cpp
    ui/SettingsSectionWidget.h
    ui/TimerTickQt.cpp
    ui/TimerTickQt.h
    ui/TrafficLogView.cpp
    ui/TrafficLogView.h
)

set(REVODIVE_MAIN_SOURCES
    ui/ViewerMain.cpp)

list(TRANSFORM REVODIVE_CORE_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM REVODIVE_POSIX_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM REVODIVE_WIN32_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM REVODIVE_UI_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM REVODIVE_MAIN_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
