#include "ui/RunCommand.h"

#include "ui/Prompts.h"
#include "ui/Utf8Text.h"

#include <QObject>

#include <exception>
#include <new>

namespace veskaro {

void runCommand(Prompts& prompts, const std::function<void()>& command) {
    QString message;
    try {
        command();
        return;
    } catch (const std::bad_alloc&) {
        message = QObject::tr("Out of memory.");
    } catch (const std::exception& error) {
        message = fromUtf8Text(error.what());
    }
    prompts.showMessage(PromptIcon::Error, message, PromptButtons::Ok);
}

} // namespace veskaro
