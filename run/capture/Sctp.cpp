// SCTP (RFC 9260): common header, chunks, DATA chunks, retransmissions and reassembly.
#include "run/capture/Sctp.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace truno::capture {
namespace {

constexpr std::size_t kCommonHeader = 12;  // ports, verification tag, checksum
constexpr std::size_t kChunkHeader = 4;    // type, flags, length
constexpr std::size_t kDataFields = 12;    // TSN, stream identifier, stream sequence number, PPID
constexpr std::uint8_t kBeginningFlag = 0x02;
constexpr std::uint8_t kEndingFlag = 0x01;

// A hash of a chunk's user data, to tell a retransmission (the same octets) from a TSN used again.
std::uint32_t hashOf(Octets data) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ data.size();
    std::size_t at = 0;
    for (; at + 8 <= data.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, data.data() + at, 8);
        h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 29;
    }
    for (; at < data.size(); ++at) h = (h ^ data[at]) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::string directionText(const AssociationKey& key) {
    return addressText({key.source.data(), key.addressSize}) + ":" + std::to_string(key.sourcePort) + " to " +
           addressText({key.destination.data(), key.addressSize}) + ":" + std::to_string(key.destinationPort);
}

}  // namespace

bool readSctp(Octets packet, SctpPacket& out, Problems& problems) {
    if (packet.size() < kCommonHeader) {
        problems.add("SCTP common header needs 12 octets, the packet has ", packet.size());
        return false;
    }
    out.sourcePort = be16(packet, 0);
    out.destinationPort = be16(packet, 2);
    out.chunks = packet.subspan(kCommonHeader);
    return true;
}

bool SctpChunks::next(SctpChunk& chunk, Problems& problems) {
    while (!rest_.empty()) {
        if (rest_.size() < kChunkHeader) {
            problems.add("SCTP chunk header needs 4 octets, ", rest_.size(), " are left of the packet's ", size_);
            rest_ = {};
            return false;
        }
        const std::size_t length = be16(rest_, 2);
        if (length > rest_.size()) {
            problems.add("SCTP chunk length ", length, " runs past the packet's ", size_, " octets");
            rest_ = {};
            return false;
        }
        if (length < kChunkHeader) {
            // Skipped by its header's octets, so that the walk goes on whatever the length says.
            problems.add("SCTP chunk length ", length, " is less than its 4-octet header");
            rest_ = rest_.subspan(kChunkHeader);
            continue;
        }
        chunk.type = rest_[0];
        chunk.flags = rest_[1];
        chunk.value = rest_.subspan(kChunkHeader, length - kChunkHeader);
        // The last chunk's padding may be left out.
        rest_ = rest_.subspan(std::min(paddedTo4(length), rest_.size()));
        return true;
    }
    return false;
}

bool readSctpData(const SctpChunk& chunk, SctpData& out, Problems& problems) {
    if (chunk.value.size() < kDataFields) {
        problems.add("SCTP DATA chunk of ", chunk.value.size() + kChunkHeader, " octets is shorter than its 16-octet header");
        return false;
    }
    out.tsn = be32(chunk.value, 0);
    out.stream = be16(chunk.value, 4);
    out.protocol = be32(chunk.value, 8);
    out.beginning = (chunk.flags & kBeginningFlag) != 0;
    out.ending = (chunk.flags & kEndingFlag) != 0;
    out.userData = chunk.value.subspan(kDataFields);
    return true;
}

AssociationKey AssociationKey::reversed() const {
    AssociationKey r = *this;
    r.source = destination;
    r.destination = source;
    r.sourcePort = destinationPort;
    r.destinationPort = sourcePort;
    return r;
}

SctpAssociations::SctpAssociations() { associations_.reserve(kMaxAssociations); }

SctpAssociations::Association* SctpAssociations::find(const AssociationKey& key) {
    if (last_ < associations_.size() && associations_[last_].used && associations_[last_].key == key) return &associations_[last_];
    for (std::size_t i = 0; i < associations_.size(); ++i) {
        if (associations_[i].used && associations_[i].key == key) {
            last_ = i;
            return &associations_[i];
        }
    }
    return nullptr;
}

SctpAssociations::Association& SctpAssociations::findOrAdd(const AssociationKey& key, std::uint64_t packet, Problems& problems) {
    if (Association* a = find(key)) {
        a->lastPacket = packet;
        return *a;
    }
    Association* slot = nullptr;
    for (Association& a : associations_)
        if (!a.used) slot = &a;
    if (slot == nullptr && associations_.size() < kMaxAssociations) {
        associations_.emplace_back();
        slot = &associations_.back();
        slot->window.resize(kTsnWindow);
    }
    if (slot == nullptr) {
        slot = &*std::min_element(associations_.begin(), associations_.end(),
                                  [](const Association& x, const Association& y) { return x.lastPacket < y.lastPacket; });
        forget(*slot, "its association went quiet", problems);
    }
    slot->key = key;
    slot->used = true;
    slot->lastPacket = packet;
    slot->anyTsn = false;
    std::fill(slot->window.begin(), slot->window.end(), TsnSlot{});
    last_ = static_cast<std::size_t>(slot - associations_.data());
    return *slot;
}

void SctpAssociations::forget(Association& a, std::string_view why, Problems& problems) {
    if (!a.fragments.empty()) {
        const Fragment& first = a.fragments.front();
        problems.addAt(first.packet, a.fragments.size(), a.fragments.size() == 1 ? " fragment" : " fragments",
                       " of SCTP messages from ", directionText(a.key), " (stream ", first.stream, ", TSN ", first.tsn,
                       ") never completed: ", why);
    }
    a.fragments.clear();
    a.held.clear();
    a.used = false;
}

bool SctpAssociations::seenBefore(Association& a, const SctpData& data) {
    const std::uint32_t hash = hashOf(data.userData);
    const auto size = static_cast<std::uint32_t>(data.userData.size());
    TsnSlot& slot = a.window[data.tsn % kTsnWindow];
    if (a.anyTsn) {
        // Serial number arithmetic (RFC 1982): how far ahead of the highest TSN seen.
        const auto ahead = static_cast<std::int32_t>(data.tsn - a.highestTsn);
        if (ahead <= -static_cast<std::int32_t>(kTsnWindow)) return false;  // older than what is remembered
        if (ahead > 0) {
            a.highestTsn = data.tsn;
        } else if (slot.used && slot.tsn == data.tsn) {
            if (slot.hash == hash && slot.size == size) return true;
            ++tsnsReused_;
        }
    } else {
        a.anyTsn = true;
        a.highestTsn = data.tsn;
    }
    slot = TsnSlot{.tsn = data.tsn, .hash = hash, .size = size, .used = true};
    return false;
}

void SctpAssociations::dropOldestFragment(Association& a, std::string_view why, Problems& problems) {
    const Fragment oldest = a.fragments.front();
    problems.addAt(oldest.packet, "SCTP message fragment (stream ", oldest.stream, ", TSN ", oldest.tsn, ") from ",
                   directionText(a.key), " dropped: ", why);
    a.fragments.erase(a.fragments.begin());
    // The held octets follow the fragments' order: the oldest's are first.
    a.held.erase(a.held.begin(), a.held.begin() + static_cast<std::ptrdiff_t>(oldest.size));
    for (Fragment& f : a.fragments) f.offset -= oldest.size;
}

std::size_t SctpAssociations::fragmentAt(const Association& a, std::uint32_t tsn, std::uint16_t stream) const {
    for (std::size_t i = 0; i < a.fragments.size(); ++i)
        if (a.fragments[i].tsn == tsn && a.fragments[i].stream == stream) return i;
    return a.fragments.size();
}

// Whether the fragment just added completes a message: from a beginning fragment, consecutive
// TSNs up to an ending one (RFC 9260 6.9).
bool SctpAssociations::assemble(Association& a, std::size_t newest, std::vector<std::uint8_t>& arena, Octets& message) {
    const std::uint16_t stream = a.fragments[newest].stream;
    std::uint32_t first = a.fragments[newest].tsn;
    for (std::size_t at = newest; !a.fragments[at].beginning;) {
        at = fragmentAt(a, first - 1, stream);
        if (at == a.fragments.size() || a.fragments[at].ending) return false;
        --first;
    }
    std::uint32_t last = first;
    std::size_t size = 0;
    for (std::size_t count = 0;; ++last, ++count) {
        const std::size_t at = fragmentAt(a, last, stream);
        if (at == a.fragments.size() || count > a.fragments.size() || (last != first && a.fragments[at].beginning)) return false;
        size += a.fragments[at].size;
        if (a.fragments[at].ending) break;
    }
    if (arena.capacity() - arena.size() < size) return false;  // cannot happen: the caller reserves
    const std::size_t start = arena.size();
    for (std::uint32_t tsn = first;; ++tsn) {
        const Fragment& f = a.fragments[fragmentAt(a, tsn, stream)];
        arena.insert(arena.end(), a.held.begin() + static_cast<std::ptrdiff_t>(f.offset),
                     a.held.begin() + static_cast<std::ptrdiff_t>(f.offset + f.size));
        if (tsn == last) break;
    }
    message = Octets(arena.data() + start, size);
    // Those fragments leave; the octets of the others move down in their order.
    std::size_t kept = 0;
    std::size_t heldSize = 0;
    for (const Fragment& f : a.fragments) {
        if (f.stream == stream && f.tsn - first <= last - first) continue;
        Fragment moved = f;
        std::memmove(a.held.data() + heldSize, a.held.data() + f.offset, f.size);
        moved.offset = heldSize;
        heldSize += f.size;
        a.fragments[kept++] = moved;
    }
    a.fragments.resize(kept);
    a.held.resize(heldSize);
    return true;
}

SctpAssociations::Delivery SctpAssociations::deliver(const AssociationKey& key, const SctpData& data, std::uint64_t packet,
                                                     std::vector<std::uint8_t>& arena, Octets& message, Problems& problems) {
    Association& a = findOrAdd(key, packet, problems);
    if (seenBefore(a, data)) return Delivery::Retransmission;
    if (data.beginning && data.ending) {
        message = data.userData;
        return Delivery::Message;
    }
    if (data.userData.size() > kMaxHeldOctets) {
        problems.add("SCTP message fragment of ", data.userData.size(), " octets is more than the ", kMaxHeldOctets,
                     " held: dropped");
        return Delivery::Dropped;
    }
    while (!a.fragments.empty() && a.fragments.size() >= kMaxFragments) dropOldestFragment(a, "too many fragments held", problems);
    while (!a.fragments.empty() && a.held.size() + data.userData.size() > kMaxHeldOctets)
        dropOldestFragment(a, "too many octets held", problems);
    a.fragments.push_back(Fragment{.tsn = data.tsn, .stream = data.stream, .beginning = data.beginning, .ending = data.ending,
                                   .packet = packet, .offset = a.held.size(), .size = data.userData.size()});
    a.held.insert(a.held.end(), data.userData.begin(), data.userData.end());
    return assemble(a, a.fragments.size() - 1, arena, message) ? Delivery::Message : Delivery::Held;
}

void SctpAssociations::restart(const AssociationKey& key, Problems& problems) {
    if (Association* a = find(key)) forget(*a, "its association started again", problems);
}

void SctpAssociations::end(const AssociationKey& key, Problems& problems) {
    if (Association* a = find(key)) forget(*a, "its association ended", problems);
    if (Association* a = find(key.reversed())) forget(*a, "its association ended", problems);
}

void SctpAssociations::finish(Problems& problems) {
    for (Association& a : associations_)
        if (a.used) forget(a, "the file ended", problems);
}

}  // namespace truno::capture
