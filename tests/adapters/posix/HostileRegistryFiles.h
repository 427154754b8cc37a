#pragma once

#include <cstddef>
#include <string>

namespace slidevane::test {

// Registry files made to hurt the store: link targets that are long, many-parted, chained or
// looping, a catalogue path of tens of thousands of components, one enormous line, and tens of
// thousands of small keys and values, as a Wine prefix's hive holds them. The
// store's tests and its benchmark generate them at run time (nothing big is committed); every
// one is paired with the catalogue file below, whose answers must come through unharmed.
//
// Owns: the shapes of the files. Does not own: where they are written or what is measured.
class HostileRegistryFiles {
public:
    // The catalogue key the files aim at and the answer the catalogue file gives there.
    static constexpr const char* kAppKey = "Software\\Norvale Inc.\\Slidevane3\\1.0";
    static constexpr const char* kPresentPath = "C:\\Program Files\\Norvale\\Slidevane3\\";
    static std::string catalogue();

    // A hive whose Software key links back to Software and then n levels below it: a target
    // of about targetUnits characters, grown again by every hop a walk takes through it.
    static std::string longLinkTarget(std::size_t targetUnits);
    // The same with a target of `parts` components below Software.
    static std::string manyPartLinkTarget(std::size_t parts);
    // Software\Chain\Hop0 links to Hop1 and so on, `hops` links in all, each target `depth`
    // components deep; the last leads to Software\Chain\...\End, whose "Reached" is "yes".
    static std::string chainedLinks(int hops, int depth);
    // Software\Loop\Self links to itself; Software\Loop\A and \B link to each other.
    static std::string linkLoops();
    // A registry editor file whose PresentPath is "/x" `components` times.
    static std::string longPresentPath(std::size_t components);
    // One file of about `bytes` bytes that is mostly one line: the value of PresentPath, in a
    // registry editor file (UTF-8) or in a hive.
    static std::string longValueLine(std::size_t bytes, bool hive);
    // The same length as a comment line, which leaves nothing behind.
    static std::string longCommentLine(std::size_t bytes, bool hive);

    // How the many-keys file is written.
    enum class Format { Hive, RegUtf8, RegUtf16 };
    // Keys shaped like a real prefix's: vendors, products, versions and component keys with
    // five values each (two paths and names, a number, 32 bytes, a text beyond Latin-1), about
    // 415 bytes of hive a component. Component i is at componentKey(i).
    static std::string manyKeys(int components, Format format);
    static std::string componentKey(int i);
    // Its "DisplayName".
    static std::string componentName(int i);
};

} // namespace slidevane::test
