#include "catalogue/HeldPictureBudget.h"

#include "catalogue/VyxFilexDraw.h"

namespace {

size_t s_limit = HeldPictureBudget::SmallLimit;
size_t s_held = 0;

// Most recently drawn first. Never destroyed: items may outlive every other static object.
std::list<HeldPictureBudget::Entry*>& Order()
{
    static auto* order = new std::list<HeldPictureBudget::Entry*>;
    return *order;
}

} // namespace

void HeldPictureBudget::Entry::Touch(VyxFilexDraw* owner, size_t bytes)
{
    if (bytes == 0) {
        Forget();
        return;
    }
    if (m_owner) {
        s_held -= m_bytes;
        Order().splice(Order().begin(), Order(), m_place);
    } else {
        Order().push_front(this);
        m_place = Order().begin();
    }
    m_owner = owner;
    m_bytes = bytes;
    s_held += bytes;
    Trim(this);
}

void HeldPictureBudget::Entry::Update(size_t bytes)
{
    if (!m_owner)
        return;
    if (bytes == 0) {
        Forget();
        return;
    }
    s_held = s_held - m_bytes + bytes;
    m_bytes = bytes;
}

void HeldPictureBudget::Entry::Forget()
{
    if (!m_owner)
        return;
    s_held -= m_bytes;
    Order().erase(m_place);
    m_owner = nullptr;
    m_bytes = 0;
}

void HeldPictureBudget::Trim(const Entry* keep)
{
    while (s_held > s_limit) {
        // The item being drawn, or one whose drawing is under way further up, keeps its own.
        Entry* victim = nullptr;
        for (auto it = Order().rbegin(); it != Order().rend() && !victim; ++it)
            if (*it != keep && (*it)->m_owner->GetDrawState() == VyxFilexDraw::DrawIdle)
                victim = *it;
        if (!victim)
            return;
        victim->m_owner->ReleaseHeldPictures();
        victim->Forget();
    }
}

size_t HeldPictureBudget::GetLimit()
{
    return s_limit;
}

void HeldPictureBudget::SetLimit(size_t bytes)
{
    s_limit = bytes;
    Trim(nullptr);
}

size_t HeldPictureBudget::GetHeldBytes()
{
    return s_held;
}
