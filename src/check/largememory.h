#pragma once

#include <QImage>
#include <cstddef>
#include <memory>
#include <type_traits>

namespace tintara {

enum class Cleared { No, Yes };

// Memory of `bytes`, in huge pages where the system has them and the size is worth it: on this
// program's machines first touching a few hundred megabytes in 4 KiB pages, and giving them back,
// costs more than the work done in them. Cleared only when asked, which memory fresh from the
// system is already. Null when there is no memory.
void* allocateLarge(size_t bytes, Cleared cleared = Cleared::No);

struct FreeLarge
{
    void operator()(void* data) const;
};
template<typename T>
using LargeArray = std::unique_ptr<T[], FreeLarge>;

// `count` items in such memory, left as they come unless cleared: for buffers written whole
// before they are read.
template<typename T>
LargeArray<T> largeArray(size_t count, Cleared cleared = Cleared::No)
{
    static_assert(std::is_trivial_v<T>);
    return LargeArray<T>(static_cast<T*>(allocateLarge(count * sizeof(T), cleared)));
}

// A new image of the size, 32 bits a pixel, in such memory, for every pixel to be written.
QImage largeImage(QSize size, QImage::Format format);

} // namespace tintara
