#include "check/largememory.h"

#include <cstdlib>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace tintara {

namespace {

constexpr size_t kHugePage = 2 << 20;

} // namespace

void* allocateLarge(size_t bytes, Cleared cleared)
{
    if (cleared == Cleared::Yes) {
        // A large block comes fresh from the system, which clears it, and calloc knows not to.
        void* data = std::calloc(1, bytes ? bytes : 1);
#ifdef Q_OS_LINUX
        if (data && bytes >= 4 * kHugePage) {
            const auto first = (quintptr(data) + kHugePage - 1) / kHugePage * kHugePage;
            const auto last = (quintptr(data) + bytes) / kHugePage * kHugePage;
            madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
        }
#endif
        return data;
    }
#ifdef Q_OS_LINUX
    if (bytes >= 4 * kHugePage) {
        const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        if (void* data = std::aligned_alloc(kHugePage, rounded)) {
            madvise(data, rounded, MADV_HUGEPAGE);
            return data;
        }
    }
#endif
    return std::malloc(bytes ? bytes : 1);
}

void FreeLarge::operator()(void* data) const
{
    std::free(data);
}

QImage largeImage(QSize size, QImage::Format format)
{
    void* data = allocateLarge(size_t(size.width()) * size_t(size.height()) * 4);
    if (!data)
        return QImage();
    return QImage(static_cast<uchar*>(data), size.width(), size.height(), size.width() * 4, format,
                  std::free, data);
}

} // namespace tintara
