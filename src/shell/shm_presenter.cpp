#include "shell/shm_presenter.h"

#include <QGuiApplication>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include "platform/canvas_impl.h"

namespace quib {

namespace {

xcb_connection_t* Connection() {
  if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
    return x11->connection();
  return nullptr;
}

}  // namespace

ShmPresenter::~ShmPresenter() { Release(); }

bool ShmPresenter::Init(unsigned long window) {
  window_ = window;
  usable_ = false;
  const char* mode = std::getenv("QUIB_PRESENT");
  if (mode && std::strcmp(mode, "qt") == 0) return false;
  xcb_connection_t* c = Connection();
  if (!c || window == 0) return false;
  xcb_shm_query_version_reply_t* v =
      xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr);
  if (!v) return false;
  free(v);
  xcb_get_geometry_reply_t* g =
      xcb_get_geometry_reply(c, xcb_get_geometry(c, static_cast<xcb_drawable_t>(window)), nullptr);
  if (!g) return false;
  // The frame is 32-bit xRGB; a window of another depth takes it through Qt.
  const bool depthOk = g->depth == 24;
  free(g);
  if (!depthOk) return false;
  gc_ = xcb_generate_id(c);
  xcb_create_gc(c, gc_, static_cast<xcb_drawable_t>(window), 0, nullptr);
  usable_ = true;
  return true;
}

void ShmPresenter::Release() {
  xcb_connection_t* c = Connection();
  if (seg_ && c) xcb_shm_detach(c, seg_);
  seg_ = 0;
  // The canvas may still point into the segment; the image's cleanup frees it.
  adoptedBits_ = nullptr;
}

bool ShmPresenter::Adopt(Canvas& back) {
  if (!usable_) return false;
  if (back.Bits() == adoptedBits_ && back.Width() == width_ && back.Height() == height_)
    return true;
  xcb_connection_t* c = Connection();
  const int w = back.Width(), h = back.Height();
  if (!c || w <= 0 || h <= 0) return false;

  const size_t bytes = static_cast<size_t>(w) * h * 4;
  int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) {
    usable_ = false;
    return false;
  }
  void* mem = shmat(id, nullptr, 0);
  // Marked for removal at once: the kernel frees it when the last user detaches,
  // so a crash leaves no segment behind.
  shmctl(id, IPC_RMID, nullptr);
  if (mem == reinterpret_cast<void*>(-1)) {
    usable_ = false;
    return false;
  }
  uint32_t seg = xcb_generate_id(c);
  xcb_void_cookie_t ck = xcb_shm_attach_checked(c, seg, static_cast<uint32_t>(id), 0);
  if (xcb_generic_error_t* err = xcb_request_check(c, ck)) {
    free(err);
    shmdt(mem);
    usable_ = false;
    return false;
  }

  // Keep the frame's pixels, then let the canvas draw straight into the segment.
  const uint32_t* src = back.Bits();
  const int srcStride = back.BytesPerLine() / 4;
  auto* dst = static_cast<uint32_t*>(mem);
  for (int y = 0; y < h; ++y)
    std::memcpy(dst + static_cast<size_t>(y) * w, src + static_cast<size_t>(y) * srcStride,
                static_cast<size_t>(w) * 4);
  QImage image(
      static_cast<uchar*>(mem), w, h, w * 4, QImage::Format_RGB32,
      [](void* p) { shmdt(p); }, mem);
  Release();
  back.impl()->SetImage(std::move(image));
  seg_ = seg;
  adoptedBits_ = back.Bits();
  width_ = w;
  height_ = h;
  return adoptedBits_ == static_cast<const uint32_t*>(mem);
}

bool ShmPresenter::Present(const Canvas& back) {
  if (!usable_ || !seg_ || back.Bits() != adoptedBits_) return false;
  xcb_connection_t* c = Connection();
  if (!c) return false;
  xcb_shm_put_image(c, static_cast<xcb_drawable_t>(window_), gc_, static_cast<uint16_t>(width_),
                    static_cast<uint16_t>(height_), 0, 0, static_cast<uint16_t>(width_),
                    static_cast<uint16_t>(height_), 0, 0, 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, seg_,
                    0);
  // The next frame draws into the same memory: wait until the server has read it.
  xcb_get_input_focus_reply_t* r = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
  if (!r) {
    usable_ = false;
    return false;
  }
  free(r);
  return true;
}

}  // namespace quib
