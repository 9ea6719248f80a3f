#pragma once
// Lists that own their elements (a node's commands, slave nodes and items): append, remove and
// look up by position, written once for all of them.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

template <typename T>
using OwnedList = std::vector<std::unique_ptr<T>>;

namespace gw {

// Appends the element; 1, or 0 when given none.
template <typename T>
int AppendOwned(OwnedList<T>& list, std::unique_ptr<T> element)
{
    if (!element)
        return 0;
    list.push_back(std::move(element));
    return 1;
}

// Takes the element out of the list and frees it; 1, or 0 when given none.
template <typename T>
int RemoveOwned(OwnedList<T>& list, const T* element)
{
    if (!element)
        return 0;
    std::erase_if(list, [element](const std::unique_ptr<T>& owned) { return owned.get() == element; });
    return 1;
}

// The element at position; none outside the list (a negative position included).
template <typename T>
T* OwnedAt(const OwnedList<T>& list, int position)
{
    if (position < 0 || static_cast<std::size_t>(position) >= list.size())
        return nullptr;
    return list[static_cast<std::size_t>(position)].get();
}

// Position of the element in the list, -1 when it is not there.
template <typename T>
int IndexOfOwned(const OwnedList<T>& list, const T* element)
{
    const auto found = std::find_if(list.begin(), list.end(),
                                    [element](const std::unique_ptr<T>& owned) { return owned.get() == element; });
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

} // namespace gw
