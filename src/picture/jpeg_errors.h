#pragma once

#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace lunetta {

/// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to the
/// setjmp of the stage that called into the library, with the library's words in `message`.
/// Warnings are counted, never printed.
struct JpegErrors {
  jpeg_error_mgr pub;  // first, so that libjpeg's pointer to it points to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool dataEndedInSegment;  // a decode's coded data ran out in the middle of a scan
};

/// Points libjpeg at `errors`; the result goes in the job's `err`.
inline jpeg_error_mgr* InstallJpegErrors(JpegErrors& errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors.pub);
  manager->error_exit = [](j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
  };
  manager->emit_message = [](j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_HIT_MARKER) {
      reinterpret_cast<JpegErrors*>(info->err)->dataEndedInSegment = true;
    }
  };
  manager->output_message = [](j_common_ptr) {};
  return manager;
}

}  // namespace lunetta
