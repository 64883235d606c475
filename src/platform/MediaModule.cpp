// The module that holds sound, speech and the screen keeping (see MediaServices.h).
#include "platform/ClockServer.h"
#include "platform/MediaServices.h"
#include "platform/QtScreenSaver.h"
#include "platform/QtSound.h"
#include "platform/QtSpeech.h"

namespace {

struct QtMediaServices : platform::MediaServices {
    QtMediaServices()
    {
        sound = &sound_;
        speech = &speech_;
        screenSaver = &screenSaver_;
        publisher = &server_;
    }
    platform::QtSound sound_;
    platform::QtSpeech speech_;
    platform::QtScreenSaver screenSaver_;
    platform::ClockServer server_;
};

} // namespace

extern "C" Q_DECL_EXPORT platform::MediaServices *chiplark_create_media_services()
{
    return new QtMediaServices;
}
