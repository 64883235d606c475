// The modules beside the program (see MediaServices.h): this file is built once for each,
// holding one service, so each module links only the libraries its own service needs.
#include "modules/MediaServices.h"

#if defined(CHIPLARK_MODULE_SPEECH)
#include "media/QtSpeech.h"
#elif defined(CHIPLARK_MODULE_SOUND)
#include "media/QtSound.h"
#elif defined(CHIPLARK_MODULE_SCREEN)
#include "media/QtScreenSaver.h"
#elif defined(CHIPLARK_MODULE_PAGE)
#include "page/ClockServer.h"
#else
#error "Say which module this is"
#endif

namespace {

template <typename Service, typename Interface, Interface *platform::MediaServices::*slot>
struct OneService : platform::MediaServices {
    OneService() { this->*slot = &service; }
    Service service;
};

#if defined(CHIPLARK_MODULE_SPEECH)
using Module = OneService<platform::QtSpeech, platform::Speech, &platform::MediaServices::speech>;
#elif defined(CHIPLARK_MODULE_SOUND)
using Module = OneService<platform::QtSound, platform::Sound, &platform::MediaServices::sound>;
#elif defined(CHIPLARK_MODULE_SCREEN)
using Module = OneService<platform::QtScreenSaver, platform::ScreenSaver, &platform::MediaServices::screenSaver>;
#else
using Module = OneService<page::ClockServer, platform::ClockPublisher, &platform::MediaServices::publisher>;
#endif

} // namespace

extern "C" Q_DECL_EXPORT platform::MediaServices *chiplark_create_media_services()
{
    return new Module;
}
