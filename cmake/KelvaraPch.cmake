# Precompiled headers: the Qt headers that nearly every file of a Qt library includes are
# parsed once per target instead of once per file (KELVARA_PCH=OFF parses them in every file,
# as a plain compiler run does). The test programs are unity builds instead (tests/).
option(KELVARA_PCH "Precompile the Qt headers of the Qt libraries" ON)

# kelvara_precompile(<target> <header set>...): sets are qtcore, qtnetwork and qtwidgets, each
# the headers most of the target's files include.
function(kelvara_precompile target)
  if(NOT KELVARA_PCH)
    return()
  endif()
  set(headers <string> <vector> <memory> <functional> <optional>)
  foreach(set IN LISTS ARGN)
    if(set STREQUAL "qtcore")
      list(APPEND headers <QObject> <QString> <QStringList> <QTimer> <QPointer> <QDir>
           <QFile> <QFileInfo> <QCoreApplication> <QElapsedTimer>)
    elseif(set STREQUAL "qtnetwork")
      list(APPEND headers <QTcpSocket> <QTcpServer> <QHostAddress>)
    elseif(set STREQUAL "qtwidgets")
      list(APPEND headers <QApplication> <QWidget> <QDialog> <QLabel> <QPushButton>
           <QRadioButton> <QComboBox> <QLineEdit> <QTreeWidget> <QMessageBox> <QAction>
           <QMenuBar> <QPainter> <QImage> <QBoxLayout>)
    else()
      message(FATAL_ERROR "kelvara_precompile: unknown header set ${set}")
    endif()
  endforeach()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
