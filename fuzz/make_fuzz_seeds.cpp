// Writes the seed corpus of every fuzz target, made with the project's own builders:
//   make_fuzz_seeds OUTPUT_FOLDER
// creates OUTPUT_FOLDER/<target>/ with a few small valid (and a few deliberately odd) inputs per
// target. Exit status 0 when every file was written.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/jpeg_scan_script.h"
#include "fuzz/saver_script.h"
#include "fuzz/seed_builders.h"
#include "tests/engine/imaging/jpeg_sides.h"
#include "tests/engine/imaging/progressive_scans_jpeg.h"

namespace {

using fuzz::Bytes;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes Prefixed(std::uint8_t first, const Bytes& rest) {
    Bytes bytes{first};
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

Bytes Joined(const std::vector<std::string>& args) {
    Bytes bytes;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i != 0)
            bytes.push_back('\0');
        bytes.insert(bytes.end(), args[i].begin(), args[i].end());
    }
    return bytes;
}

std::vector<Bytes> ImageRecords() {
    return {fuzz::RampBitmap(8, 4, 24),
            fuzz::RampBitmap(8, 4, 8),
            fuzz::RampBitmap(8, 4, 16),
            fuzz::RampBitmap(8, 4, 32),
            fuzz::RampBitmap(8, -4, 24),
            fuzz::RampBitmap(12, 4, 24, false),
            fuzz::RampJpeg(16, 8, 75),
            fuzz::RampJpeg(8, 8, 10),
            fuzz::RampCodecRecord("cvid", 16, 8),
            fuzz::RampCodecRecord("msvc", 16, 8)};
}

std::vector<Bytes> Panoramas() {
    const Bytes jpeg = fuzz::RampJpeg(32, 16, 50);
    return {
        fuzz::Container({{"INIT", fuzz::InitBytes(0, 0, 0, 0, 0, 0, 0, 0)}, {"BTMP", jpeg}}),
        fuzz::Container({{"BTMP", fuzz::RampBitmap(16, 8, 24)},
                         {"INIT", fuzz::InitBytes(180, 90, 0, 0, 10, 5, 0, 70)},
                         {"HSPT", fuzz::HotspotBytes({"next.pan", "#swingto(10,0,0,60,500)"})},
                         {"FILE", fuzz::FileBytes({{"~a.txt", "hello"}, {"~b.wav", "RIFF"}})},
                         {"NOTE", fuzz::NoteBytes()}}),
        fuzz::Container({{"BTMP", fuzz::RampCodecRecord("cvid", 16, 8)},
                         {"INIT", fuzz::InitBytes(-90, 90, -30, 30, 0, 0, 0, 0)}}),
        fuzz::RampBitmap(16, 8, 24),
        jpeg,
    };
}

// Panoramas for the editor's round trip: every section the viewer shows, and views and limits
// at their edges.
std::vector<Bytes> LinksmithRoundTrips() {
    std::vector<Bytes> seeds = Panoramas();
    const Bytes picture = fuzz::RampBitmap(16, 8, 24);
    const std::vector<Bytes> views = {fuzz::InitBytes(360, 180, 0, 0, 170, -80, 30, 5),
                                      fuzz::InitBytes(90, 30, -10, 10, 45, 0, 0, 200),
                                      fuzz::InitBytes(0, 0, 0, 0, 0, 0, 0, 0),
                                      fuzz::InitBytes(0, 0, 0, 0, 0, 0, 0, -5)};
    for (const Bytes& view : views) {
        seeds.push_back(fuzz::Container({{"BTMP", picture},
                                         {"INIT", view},
                                         {"HSPT", fuzz::HotspotBytes({"a.pan", ""})},
                                         {"FILE", fuzz::FileBytes({{"~x.txt", "x"}})}}));
    }
    seeds.push_back(fuzz::Container({{"NOTE", fuzz::NoteBytes()}, {"BTMP", picture}}));
    // Rows that end in padding: 30 pixels of 3 bytes leave 2 bytes to the 4-byte stride.
    seeds.push_back(fuzz::Container({{"BTMP", WithJpegSides(fuzz::RampJpeg(32, 16, 50), 30, 16)}}));
    return seeds;
}

std::vector<Bytes> ActionTexts() {
    return {
        Text("other.pan"),
        Text("(preserve view) other.pan; welcome.wav"),
        Text("(repeat) loop.wav"),
        Text("(full screen) film.avi"),
        Text("(full window) film.avi; (0.5,1) walker.avt"),
        Text("walker.avt"),
        Text("(maximized) editor.exe notes.txt"),
        Text("(minimized) ~tool.exe"),
        Text("readme.txt"),
        Text("~embedded.doc"),
        Text("#swingto(90,10,0,45,1000)"),
        Text("#swingto(1,2,3)"),
        Text("  (repeat)   a.wav ;b.avi;;c.pan"),
        Text("(2,3"),
    };
}

// The editor's reading: the viewer's texts, and the editor's stored joints and options that
// count only at a command's start.
std::vector<Bytes> EditorActionTexts() {
    std::vector<Bytes> texts = ActionTexts();
    for (const char* text : {"a.wav;  (full window) b.avi;  c.pan", "clip.avi (full screen)",
                             "x(maximized)edit.EXE notes.txt;  ;", ".exe a.txt", "a)b.wav",
                             "(1)walk.avt;\r\n(2,3)~walk.AVT"}) {
        texts.push_back(Text(text));
    }
    return texts;
}

// Scripts of the saver's fuzz target: a clean render of one panorama and of a sequence, the
// stored options in both forms, calls out of order, an edge frame size, a refused version.
std::vector<Bytes> SaverScripts() {
    namespace s = fuzz::saver_script;
    const auto faces = [](s::Script& script, int count, int lines) {
        for (int face = 0; face < count; ++face) {
            script.Call(s::kBegin, {0});
            for (int left = lines; left > 0; left -= 16)
                script.Write(0, left < 16 ? left : 16);
        }
    };
    s::Script single(s::FrameByte(1), s::FrameByte(6), 0);
    single.Call(s::kActivateCamera, {0})
        .Call(s::kCreate)
        .Open(0, s::SideByte(32), s::SideByte(32), "pano.bmp");
    faces(single, 6, 32);
    single.Call(s::kClose, {0}).Call(s::kDescribe, {0});

    s::Script sequence(s::FrameByte(1), s::FrameByte(12), 3);
    sequence.Options({s::kWrittenOptions, s::FrameByte(1), s::FrameByte(0)})
        .Call(s::kActivateCamera, {3})
        .Call(s::kCreate)
        .Open(0, s::SideByte(32), s::SideByte(32), "seq.bmp");
    faces(sequence, 12, 32);
    sequence.Call(s::kCompactorOutcome, {3});
    faces(sequence, 6, 32);
    sequence.Call(s::kClose, {0});

    const std::string text = "[LightWave%20Pan%20Plug-In]\nAspect=0\nSuppress=1\n";
    Bytes options{s::kOptionsText};
    options.insert(options.end(), text.begin(), text.end());
    options.push_back(0);
    s::Script outOfOrder(s::FrameByte(1), s::FrameByte(8), 0);
    outOfOrder.Options(options)
        .Call(s::kCreate)
        .Write(0, 1)
        .Call(s::kBegin, {0})
        .Call(s::kCreate)
        .Call(s::kCopy, {0, 1})
        .Call(s::kLoadSave, {1})
        .Open(1, s::SideByte(4), s::SideByte(2), "a.b/c")
        .Call(s::kWriteMissing, {0, 1, 9, 9, 9, 9})
        .Call(s::kScene, {1, s::kEdgeByte + 3, s::kEdgeByte + 4})
        .Call(s::kOpen, {2, s::SideByte(4), s::SideByte(4), 0, 0});
    faces(outOfOrder, 8, 3);
    outOfOrder.Call(s::kClose, {0})
        .Call(s::kClose, {0})
        .Call(s::kDestroy, {0})
        .Call(s::kBegin, {0});

    s::Script edges(s::kEdgeByte + 3, s::kEdgeByte + 4, 0);
    edges.Call(s::kCreate).Open(0, s::kEdgeByte + 4, s::SideByte(1), "wide.bmp");
    faces(edges, 6, 1);
    edges.Open(0, s::kEdgeByte + 12, s::SideByte(3), "").Call(s::kBegin, {0}).Write(0, 4);
    edges.Call(s::kClose, {0});

    return {single.Bytes(), sequence.Bytes(), outOfOrder.Bytes(), edges.Bytes(),
            s::Script(s::FrameByte(1), s::FrameByte(6), 6).Bytes()};
}

Bytes Joined(const std::vector<Bytes>& pieces, const std::string& mark) {
    Bytes bytes;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i != 0)
            bytes.insert(bytes.end(), mark.begin(), mark.end());
        bytes.insert(bytes.end(), pieces[i].begin(), pieces[i].end());
    }
    return bytes;
}

Bytes Concatenated(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The viewer-avatar target's inputs: its ten choice bytes (depth, panorama and window; the
// nibbles of position, size, velocity and growth; the view; the animation rates), then the
// avatar file. Nibble 0 is 0, 1 is 1, 3 is 10 in the target's table of extremes.
std::vector<Bytes> ViewerAvatars() {
    // A box 1 x 0 x 1 at 10 ahead in a 45-degree view, standing, at display depth 24.
    const Bytes ahead = {0x03, 0x30, 0x10, 0x10, 0x00, 0x00, 0x00, 0x00, 0x50, 0x11};
    // The same box moving and animated at 24 bits over the 8-bit panorama in a 1 x 1 window.
    const Bytes moving = {0x1B, 0x30, 0x10, 0x10, 0x21, 0x03, 0x00, 0x00, 0x70, 0x21};
    const Bytes extreme = {0x24, 0xCA, 0x6E, 0x98, 0xB7, 0x4D, 0xF2, 0x21, 0xD3, 0xCE};
    const auto at = [&ahead](std::uint8_t display, const Bytes& file) {
        Bytes control = ahead;
        control[0] = display;
        return Concatenated(control, file);
    };
    return {Concatenated(ahead, fuzz::AvatarFile(16, 8, 2, 1, false)),
            Concatenated(moving, fuzz::AvatarFile(16, 8, 4, 2, true)),
            Concatenated(extreme, fuzz::AvatarFile(7, 3, 1, 1, true)),
            at(0x08, fuzz::AvatarFile(12, 6, 3, 2, false)),
            at(0x32, fuzz::RampBitmap(8, 4, 24)),
            at(0x14, fuzz::RampBitmap(8, 4, 32))};
}

// The bitmap-programs target's inputs: Compactor's (byte 0 even: the codec in bits 1-3, the
// thumbnail in bit 4; byte 1 the quality) and Cubestitch's (byte 0 odd: faces joined by "FACE").
std::vector<Bytes> BitmapPrograms() {
    std::vector<Bytes> seeds;
    const Bytes pictures[] = {fuzz::RampBitmap(32, 32, 24), fuzz::RampBitmap(16, 16, 8),
                              fuzz::RampBitmap(12, 8, 16), fuzz::RampBitmap(8, -4, 32),
                              fuzz::RampCodecRecord("cvid", 16, 8)};
    for (std::uint8_t codec = 0; codec < 6; ++codec) {
        const Bytes& picture = pictures[codec % 5];
        seeds.push_back(Concatenated({static_cast<std::uint8_t>(codec << 1), 75}, picture));
    }
    seeds.push_back(Concatenated({0x10, 50}, fuzz::RampBitmap(64, 64, 24)));
    seeds.push_back(Concatenated({0x10, 90}, fuzz::RampBitmap(16, 16, 24)));
    const Bytes faces = Joined({fuzz::RampBitmap(8, 8, 24), fuzz::RampBitmap(5, 3, 8),
                                fuzz::RampBitmap(16, 4, 16), fuzz::RampBitmap(4, -4, 32),
                                fuzz::RampCodecRecord("msvc", 16, 8), fuzz::RampBitmap(1, 1, 24)},
                               "FACE");
    seeds.push_back(Concatenated({0x01, 0}, faces));
    seeds.push_back(Concatenated({0x1F, 0}, faces));
    seeds.push_back(Concatenated({0x03, 0}, fuzz::RampBitmap(8, 8, 24)));
    return seeds;
}

// A Targa ramp with every third pixel pure blue, the blue screen of frame pictures.
Bytes BlueScreenTarga(int width, int height, int bits) {
    Bytes file = fuzz::RampTarga(width, height, bits, false);
    const std::size_t step = static_cast<std::size_t>(bits / 8);
    for (std::size_t at = 18; at + 3 <= file.size(); at += 3 * step) {
        file[at] = 255;
        file[at + 1] = 0;
        file[at + 2] = 0;
    }
    return file;
}

// The mimeo-build target's inputs: three choice bytes (flags and columns, the transparent key,
// an avatar file's grid), then the frames joined by "FRAM".
std::vector<Bytes> MimeoBuilds() {
    const Bytes four = Joined({BlueScreenTarga(8, 4, 24), fuzz::RampTarga(6, 6, 24, true),
                               fuzz::RampBitmap(8, 4, 24), BlueScreenTarga(4, 8, 24)},
                              "FRAM");
    return {
        Concatenated({0x04, 0x00, 0x00}, four),
        Concatenated({0x00, 0xF3, 0x00}, four),
        Concatenated({0x01, 0x00, 0x00}, four),
        Concatenated({0x08, 0x00, 0x00},
                     Joined({BlueScreenTarga(5, 3, 32), fuzz::RampTarga(5, 3, 32, true)}, "FRAM")),
        Concatenated({0x00, 0x00, 0x00}, fuzz::RampBitmap(16, 16, 32)),
        Concatenated({0x02, 0x10, 0x21}, fuzz::AvatarFile(16, 8, 2, 1, true)),
        Concatenated({0x02, 0x80, 0x11}, fuzz::AvatarFile(12, 6, 3, 2, false)),
        Concatenated({0x02, 0x00, 0x13}, fuzz::RampBitmap(8, 4, 24))};
}

// Progressive streams of many scans that once kept the decoder reading for minutes at full
// size, small: with no DC scan (a warning a scan), and after a DC scan (no warnings).
std::vector<Bytes> ManyScanStreams() {
    ProgressiveScansJpeg afterDc(256, 256, 1);
    afterDc.DcScan();
    for (int s = 0; s < 600; ++s)
        afterDc.AcScan(0, 1, 63, 0, 0);
    return {AcOnlyScansJpeg(256, 256, 2000), afterDc.Finish()};
}

// The progressive-scan target's scripts: the many-scan forms, libjpeg's colour progression,
// every AC coefficient in a scan of its own refined bit by bit, and a scan of stray data.
std::vector<Bytes> JpegScanScripts() {
    namespace j = fuzz::jpeg_scan_script;
    j::Script acOnly(0x03, 512, 512);
    j::Script afterDc(0x00, 512, 512);
    afterDc.Scan(j::kDc, 0, 0, 0, 0, 0, 0);
    for (int i = 0; i < 8; ++i) {
        acOnly.Scan(j::kAc, 7, 0, 1, 63, 0, 0);
        afterDc.Scan(j::kAc, 7, 0, 1, 63, 0, 0);
    }
    j::Script colour(0x23, 64, 48);
    colour.Scan(j::kDc, 0, 0, 0, 0, 0, 1)
        .Scan(j::kAc, 0, 0, 1, 5, 0, 2)
        .Scan(j::kAc, 0, 2, 1, 63, 0, 1)
        .Scan(j::kAc, 0, 1, 1, 63, 0, 1)
        .Scan(j::kAc, 0, 0, 6, 63, 0, 2)
        .Scan(j::kAc, 0, 0, 1, 63, 2, 1)
        .Scan(j::kDc, 0, 0, 0, 0, 1, 0)
        .Scan(j::kAc, 0, 2, 1, 63, 1, 0)
        .Scan(j::kAc, 0, 1, 1, 63, 1, 0)
        .Scan(j::kAc, 0, 0, 1, 63, 1, 0);
    j::Script refined(0x0F, 128, 64);
    refined.Scan(j::kDc, 0, 0, 0, 0, 0, 2)
        .Scan(j::kDc, 0, 0, 0, 0, 2, 1)
        .Scan(j::kDc, 0, 0, 0, 0, 1, 0);
    for (int k = 1; k < 64; ++k) {
        refined.Scan(j::kAc, 0, 0, k, k, 0, 2)
            .Scan(j::kAc, 0, 0, k, k, 2, 1)
            .Scan(j::kAc, 0, 0, k, k, 1, 0);
    }
    j::Script stray(0x01, 32, 32);
    stray.Scan(j::kDc, 0, 0, 0, 0, 0, 0)
        .Raw(0, 1, 63, 0, 0, {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56})
        .Scan(j::kAc, 3, 0, 1, 63, 0, 0);
    return {acOnly.Bytes(), afterDc.Bytes(), colour.Bytes(), refined.Bytes(), stray.Bytes()};
}

// Each target's seeds, by the target's name.
std::vector<std::pair<std::string, std::vector<Bytes>>> Corpora() {
    std::vector<Bytes> records;
    for (std::uint8_t depth = 0; depth < 5; ++depth) {
        for (const Bytes& record : ImageRecords())
            records.push_back(Prefixed(depth, record));
    }
    std::vector<Bytes> jpegs;
    for (std::uint8_t choice : {0, 1, 2, 3, 4, 9, 19, 30})
        jpegs.push_back(Prefixed(choice, fuzz::RampJpeg(16, 8, 60)));
    for (const Bytes& stream : ManyScanStreams()) {
        jpegs.push_back(Prefixed(3, stream));
        records.push_back(Prefixed(3, stream));
    }
    std::vector<Bytes> bitmaps;
    for (std::uint8_t choice : {0, 5, 10, 15, 64, 200}) {
        bitmaps.push_back(Prefixed(choice, fuzz::RampBitmap(8, 4, 24)));
        bitmaps.push_back(Prefixed(choice, fuzz::RampBitmap(5, 3, 8)));
        bitmaps.push_back(Prefixed(choice, fuzz::RampCodecRecord("cvid", 16, 8)));
        bitmaps.push_back(Prefixed(choice, fuzz::RampCodecRecord("msvc", 16, 8)));
    }
    std::vector<Bytes> containers;
    for (const Bytes& panorama : Panoramas()) {
        Bytes input = panorama;
        const Bytes tail = Text("INIT\x05");
        input.insert(input.end(), tail.begin(), tail.end());
        containers.push_back(input);
    }
    return {
        {"container", containers},
        {"init_section",
         {fuzz::InitBytes(0, 0, 0, 0, 0, 0, 0, 0), fuzz::InitBytes(180, 90, 0, 0, 10, 5, 0, 0),
          fuzz::InitBytes(-90, 90, -30, 30, 0, 0, 0, 200),
          fuzz::InitBytes(360, 45, 0, 0, 0, 0, 0, 60)}},
        {"hotspot_section",
         {fuzz::HotspotBytes({"a.pan"}),
          fuzz::HotspotBytes({"x.wav", "(repeat) y.avi", "#swingto(1,2,3,4,5)"}),
          fuzz::HotspotBytes({})}},
        {"file_section",
         {fuzz::FileBytes({{"~a.txt", "hello"}, {"~b.bin", std::string(40, 'b')}}), Bytes{0}}},
        {"note_section", {fuzz::NoteBytes(), Bytes{0x0A}}},
        {"image_record", records},
        {"jpeg_stream", jpegs},
        {"jpeg_scans", JpegScanScripts()},
        {"cdib_reader", bitmaps},
        {"avatar_file",
         {fuzz::AvatarFile(16, 8, 2, 1, false), fuzz::AvatarFile(16, 8, 4, 2, true),
          fuzz::AvatarFile(7, 3, 1, 1, true), fuzz::RampBitmap(8, 4, 24),
          fuzz::RampBitmap(8, 4, 32)}},
        {"action_text", ActionTexts()},
        {"linksmith_sections", Panoramas()},
        {"editor_action_text", EditorActionTexts()},
        {"mimeo_frame",
         {Prefixed(0, fuzz::RampTarga(8, 4, 24, false)),
          Prefixed(0, fuzz::RampTarga(5, 3, 32, true)), Prefixed(0, fuzz::RampBitmap(8, 4, 24)),
          Prefixed(0, fuzz::RampBitmap(5, 3, 32)), Prefixed(1, fuzz::AvatarFile(16, 8, 2, 1, true)),
          Prefixed(1, fuzz::AvatarFile(12, 6, 3, 2, false)),
          Prefixed(1, fuzz::RampTarga(4, 4, 32, false))}},
        {"compactor_command_line",
         {Joined({"in.bmp", "out.pan"}),
          Joined({"-codec", "cinepak", "-quality", "80", "a.bmp", "b.bmp"}),
          Joined({"/dialog", "-registry", "Scenegrab", "-window", "-12"}),
          Joined({"-thumbnail", "false", "-codec", "16bit", "/abs/in.bmp", "/abs/out.bmp"}),
          Joined({"-registry", "a\\..\\b", "-quality", "-5"})}},
        {"cubestitch_command_line",
         {Joined({"-r90"}),
          Joined({"face0.bmp", "-r90", "face1.bmp", "face2.bmp", "-fv", "face3.bmp", "face4.bmp",
                  "/fh", "face5.bmp", "out.pan"}),
          Joined({"face0.bmp", "-rotate270", "-FLIPHORIZONTAL ", "/tmp/elsewhere/face1.bmp"}),
          Joined({"missing.bmp", "face1.bmp", "face2.bmp", "face3.bmp", "face4.bmp", "face5.bmp",
                  "out.pan"}),
          Joined({"face0.bmp", "face1.bmp", "face2.bmp", "face3.bmp", "face4.bmp", "face5.bmp",
                  "out.pan", "more.pan"})}},
        {"panorama_load", Panoramas()},
        {"scenegrab_saver", SaverScripts()},
        {"viewer_avatar", ViewerAvatars()},
        {"linksmith_roundtrip", LinksmithRoundTrips()},
        {"bitmap_programs", BitmapPrograms()},
        {"mimeo_build", MimeoBuilds()},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    int failures = 0;
    for (const auto& [target, seeds] : Corpora()) {
        const std::filesystem::path folder = root / target;
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        for (std::size_t i = 0; i < seeds.size(); ++i) {
            if (seeds[i].empty()) {
                std::fprintf(stderr, "make_fuzz_seeds: %s seed %zu came out empty\n",
                             target.c_str(), i);
                ++failures;
                continue;
            }
            std::ofstream out(folder / ("seed-" + std::to_string(i)), std::ios::binary);
            out.write(reinterpret_cast<const char*>(seeds[i].data()),
                      static_cast<std::streamsize>(seeds[i].size()));
            if (!out)
                ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
