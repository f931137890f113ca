#include "platform/Desktop.h"

#include "platform/AppInfo.h"
#include "platform/QtDesktop.h"

namespace {
Desktop *installed = nullptr;
}

Desktop &Desktop::current()
{
    if (installed)
        return *installed;
    static QtDesktop real;
    return real;
}

void Desktop::install(Desktop *desktop)
{
    installed = desktop;
}

QStringList Desktop::openFileNames(QWidget *owner, const OpenFileRequest &request)
{
    const QString path = openFileName(owner, request);
    return path.isEmpty() ? QStringList() : QStringList{path};
}

Desktop::Answer Desktop::applicationBox(const QString &text, Icon icon, Buttons buttons)
{
    return messageBox(nullptr, appinfo::title(), text, icon, buttons);
}
