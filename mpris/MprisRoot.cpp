#include "mpris/MprisRoot.h"

#include "base/Constants.h"
#include "mpris/MediaControls.h"

TMprisRoot::TMprisRoot(TMediaControls *controls)
    : QDBusAbstractAdaptor(controls), Controls(controls)
{
}

QString TMprisRoot::Identity() const
{
    return ProgramName;
}

QString TMprisRoot::DesktopEntry() const
{
    return QStringLiteral(FERROX_APP_ID);
}

void TMprisRoot::Raise()
{
    Controls->Raise();
}

void TMprisRoot::Quit()
{
    Controls->Quit();
}
