#include "engine/imaging/jpeg_error_hooks.h"

#include "platform/trace/trace_link.h"

namespace {

JpegErrorManager& ManagerOf(j_common_ptr info) {
    return *reinterpret_cast<JpegErrorManager*>(info->err);
}

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
    JpegErrorManager& manager = ManagerOf(info);
    (*info->err->format_message)(info, manager.message);
    std::longjmp(manager.jump, 1);
}

void JpegOutputMessage(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    TraceLine(message);
}

// Level -1 is a warning: the first one of an image is traced, and the one past the bound ends
// the coding. Levels 0 and up are the library's trace messages, not wanted here.
void JpegEmitMessage(j_common_ptr info, int level) {
    if (level >= 0)
        return;
    if (info->err->num_warnings == 0)
        (*info->err->output_message)(info);
    if (++info->err->num_warnings > kMaxJpegWarnings) {
        char warning[JMSG_LENGTH_MAX];
        (*info->err->format_message)(info, warning);
        char text[JMSG_LENGTH_MAX + 64];
        std::snprintf(text, sizeof text, "Corrupt JPEG data: more than %ld warnings, the last: %s",
                      kMaxJpegWarnings, warning);
        FailJpegCoding(info, text);
    }
}

}  // namespace

jpeg_error_mgr* InstallJpegErrorHooks(JpegErrorManager& manager) {
    jpeg_error_mgr* library = jpeg_std_error(&manager.library);
    library->error_exit = JpegErrorExit;
    library->output_message = JpegOutputMessage;
    library->emit_message = JpegEmitMessage;
    manager.message[0] = '\0';
    return library;
}

void FailJpegCoding(j_common_ptr info, const char* text) {
    JpegErrorManager& manager = ManagerOf(info);
    std::snprintf(manager.message, sizeof manager.message, "%s", text);
    std::longjmp(manager.jump, 1);
}
