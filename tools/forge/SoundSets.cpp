// Sounds\Sounds.ini and its WAVE files: every sound id the game plays, synthesised from a
// recipe of its kind, with the groups of variants and the sounds level 1 keeps loaded.
#include "forge/SoundSets.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <string>

#include "forge/Forge.h"
#include "forge/IniText.h"

namespace forge {
namespace {

enum class Recipe {
  kClick,      // short bright tick of the interface
  kChime,      // interface pick and drop: two quick notes
  kSwish,      // paper and scroll movement
  kRise,       // opening: a sweep up
  kFall,       // closing: a sweep down
  kBuzz,       // refusal
  kThud,       // a dull blow
  kVoice,      // a creature's call: a gliding voiced tone
  kGrowl,      // a rough creature sound: noise over a low tone
  kStep,       // a footstep
  kSplash,     // a step in water
  kSpell,      // a spell: chord and shimmer
  kWaterLoop,  // looping ambience: stereo water
  kHumLoop,    // looping ambience: a stereo hum of effects
};

struct SoundDef {
  int id;
  std::string name;  // file name without .wav, in the folder Sounds
  Recipe recipe;
};

// A pitch for a sound from its id, so that sounds of one kind differ.
double PitchOf(int id, double base) { return base * std::pow(2.0, (id % 19) / 12.0); }

WaveLayout LayoutOf(Recipe recipe) {
  switch (recipe) {
    case Recipe::kStep:
    case Recipe::kSplash:
      return {1, 11025, 8, false};
    case Recipe::kWaterLoop:
    case Recipe::kHumLoop:
      return {2, 22050, 16, false};
    case Recipe::kChime:
      return {2, 22050, 8, false};
    case Recipe::kSpell:
      return {1, 44100, 16, true};
    default:
      return {1, 22050, 16, false};
  }
}

std::vector<int16_t> Synthesise(const SoundDef& sound, const WaveLayout& layout) {
  const int id = sound.id;
  switch (sound.recipe) {
    case Recipe::kClick:
      return Synth(layout.rate, 0.06).Tone(0, 0.06, PitchOf(id, 1800), 0.7, 2, 9).Noise(0, 0.02, 0.3, 0.2, id).Render();
    case Recipe::kChime:
      return Synth(layout.rate, 0.25)
          .Tone(0, 0.12, PitchOf(id, 880), 0.6)
          .Tone(0.1, 0.15, PitchOf(id, 1320), 0.6)
          .Render(2, (id % 3 - 1) * 0.3);
    case Recipe::kSwish:
      return Synth(layout.rate, 0.3).Noise(0, 0.3, 0.6, 0.6, id, 3).Render();
    case Recipe::kRise:
      return Synth(layout.rate, 0.35).Sweep(0, 0.35, 200, 900, 0.5).Noise(0, 0.3, 0.2, 0.7, id).Render();
    case Recipe::kFall:
      return Synth(layout.rate, 0.35).Sweep(0, 0.35, 900, 200, 0.5).Noise(0, 0.3, 0.2, 0.7, id).Render();
    case Recipe::kBuzz:
      return Synth(layout.rate, 0.25).Tone(0, 0.25, 110, 0.6, 6, 1).Render();
    case Recipe::kThud:
      return Synth(layout.rate, 0.2).Tone(0, 0.2, PitchOf(id, 70), 0.8, 2, 8).Noise(0, 0.08, 0.4, 0.8, id).Render();
    case Recipe::kVoice: {
      double pitch = PitchOf(id, 140);
      double length = 0.3 + (id % 5) * 0.08;
      return Synth(layout.rate, length)
          .Sweep(0, length, pitch, pitch * (id % 2 ? 1.5 : 0.7), 0.5)
          .Tone(0, length, pitch, 0.3, 4, 3)
          .Render();
    }
    case Recipe::kGrowl: {
      double length = 0.4 + (id % 4) * 0.1;
      return Synth(layout.rate, length)
          .Noise(0, length, 0.5, 0.85, id, 2)
          .Tone(0, length, PitchOf(id, 55), 0.5, 5, 2)
          .Render();
    }
    case Recipe::kStep:
      return Synth(layout.rate, 0.1).Noise(0, 0.1, 0.7, 0.5 + (id % 4) * 0.1, id, 10).Render();
    case Recipe::kSplash:
      return Synth(layout.rate, 0.25).Noise(0, 0.25, 0.6, 0.3, id, 5).Sweep(0, 0.15, 600, 300, 0.2).Render();
    case Recipe::kSpell: {
      double root = PitchOf(id, 330);
      return Synth(layout.rate, 0.6)
          .Chord(0, 0.6, {root, root * 1.25, root * 1.5}, 0.6)
          .Sweep(0, 0.5, root * 2, root * 4, 0.15)
          .Render();
    }
    case Recipe::kWaterLoop:
      return Synth(layout.rate, 1.0).Noise(0, 1.0, 0.4, 0.9, id, 0).Render(2, 0.2);
    case Recipe::kHumLoop: {
      double root = PitchOf(id, 110);
      return Synth(layout.rate, 1.0).Chord(0, 1.0, {root, root * 1.5, root * 2.0}, 0.5).Render(2, -0.2);
    }
  }
  return {};
}

// Every sound of the game, by id. Groups of variants are below; their members are here.
std::vector<SoundDef> GameSounds() {
  std::vector<SoundDef> sounds = {
      // The interface.
      {801, "ui0801", Recipe::kClick},
      {802, "ui0802", Recipe::kChime},
      {804, "ui0804", Recipe::kChime},  // a battle begins
      {808, "ui0808", Recipe::kSwish},
      {812, "ui0812", Recipe::kFall},
      {813, "ui0813", Recipe::kRise},
      {820, "ui0820", Recipe::kClick},
      {821, "ui0821", Recipe::kClick},
      {410, "ui0410", Recipe::kThud},  // also what an unknown id plays
      {1011, "ui1011", Recipe::kBuzz},
      {99999, "ui99999", Recipe::kBuzz},  // a key the chat console refuses
      // Ambient loops of the map view, and the one-shot of its third effect group.
      {1021, "amb1021", Recipe::kWaterLoop},
      {721, "amb0721", Recipe::kHumLoop},
      {752, "amb0752", Recipe::kHumLoop},
      {1044, "amb1044", Recipe::kHumLoop},
      {702, "fx0702", Recipe::kSpell},
      // Spells.
      {701, "spell0701", Recipe::kSpell},
      {708, "spell0708", Recipe::kSpell},
      {715, "spell0715", Recipe::kSpell},
      {738, "spell0738", Recipe::kSpell},
      {739, "spell0739", Recipe::kHumLoop},
      {749, "spell0749", Recipe::kSpell},
      {751, "spell0751", Recipe::kSpell},
      {415, "spell0415", Recipe::kSpell},
      // What arrived spells do to their creatures.
      {704, "fx0704", Recipe::kThud},   // a wall rises
      {705, "fx0705", Recipe::kGrowl},  // blood lust
      {712, "fx0712", Recipe::kSwish},  // a creature fades from sight
      {714, "fx0714", Recipe::kChime},  // iron skin
      {716, "fx0716", Recipe::kRise},   // levitation
      {719, "fx0719", Recipe::kFall},   // life drains away
      {728, "fx0728", Recipe::kRise},   // a creature's life turned to mana
      {730, "fx0730", Recipe::kGrowl},  // a creature provokes its enemies
      {732, "fx0732", Recipe::kChime},  // healing
      {733, "fx0733", Recipe::kSwish},  // an illusion is dispelled
      {734, "fx0734", Recipe::kThud},   // bound to the earth
      {736, "fx0736", Recipe::kGrowl},  // the dead rise
      {737, "fx0737", Recipe::kSpell},  // a creature changes sides
      {748, "fx0748", Recipe::kSpell},  // a mighty blow is readied
      // What spells' effects play as they start, fly, hold and end.
      {710, "fx0710", Recipe::kHumLoop},    // a bouncing orb's hum
      {720, "fx0720", Recipe::kSwish},      // a shower's stone falls
      {726, "fx0726", Recipe::kChime},      // a summoned creature appears
      {729, "fx0729", Recipe::kWaterLoop},  // the ground shakes
      {731, "fx0731", Recipe::kSpell},      // a glow settles on a creature
      {735, "fx0735", Recipe::kBuzz},       // a creature is held
      {743, "fx0743", Recipe::kFall},       // a creature feels a spell
      {754, "fx0754", Recipe::kRise},       // a beam of healing
      {903, "fx0903", Recipe::kSpell},      // a strike of flame or lightning
      {910, "fx0910", Recipe::kSpell},      // a bolt from a totem
      {1013, "fx1013", Recipe::kThud},      // a stone lands
      {1022, "fx1022", Recipe::kSwish},     // an item is passed on
      {1027, "fx1027", Recipe::kRise},      // health given
      {1028, "fx1028", Recipe::kFall},      // health taken
      {1029, "fx1029", Recipe::kHumLoop},   // a marker's hum
      {1030, "fx1030", Recipe::kSplash},    // something falls into water
      {1042, "fx1042", Recipe::kFall},      // the countdown runs out
      {727, "fx0727", Recipe::kRise},       // a totem grows a level
      {1026, "fx1026", Recipe::kFall},      // a totem collapses
      {1040, "fx1040", Recipe::kChime},     // a trap's ring closes
      {1041, "fx1041", Recipe::kBuzz},      // a trap is about to take its prisoner
      // What carried items and world objects play.
      {744, "fx0744", Recipe::kSpell},  // a sceptre subverts
      {745, "fx0745", Recipe::kSpell},  // a holy symbol holds the undead
      {746, "fx0746", Recipe::kRise},   // a horn recalls the army
      {747, "fx0747", Recipe::kChime},  // an amulet wards
      {1025, "fx1025", Recipe::kRise},  // a mana sprite is taken
      // Footsteps that are single sounds (500 to 503 are groups of variants).
      {504, "step0504", Recipe::kSplash},
      {506, "step0506", Recipe::kStep},
      {507, "step0507", Recipe::kStep},
      {508, "step0508", Recipe::kSplash},
      {509, "step0509", Recipe::kStep},
      {522, "step0522", Recipe::kStep},
      {528, "step0528", Recipe::kStep},
      // Blows.
      {279, "hit0279", Recipe::kThud},
      {409, "hit0409", Recipe::kThud},
      {412, "hit0412", Recipe::kThud},
      {413, "hit0413", Recipe::kThud},
      {414, "hit0414", Recipe::kThud},
  };
  // Creature calls, events, deaths and acknowledgements.
  const int voices[] = {1,   2,   3,    4,    6,    21,   22,   23,   24,   31,   32,  33,  34,  35,  36,  51,  52,
                        53,  55,  71,   72,   73,   74,   76,   91,   92,   95,   97,  98,  111, 112, 122, 123, 141,
                        142, 144, 171,  174,  191,  194,  196,  197,  211,  212,  214, 231, 232, 251, 253, 254, 255,
                        256, 263, 265,  266,  271,  273,  284,  286,  291,  292,  294, 311, 312, 313, 331, 332, 333,
                        350, 351, 371,  380,  381,  382,  383,  385,  390,  391,  392, 393, 394, 395, 398, 402, 403,
                        404, 407, 408,  416,  417,  418,  450,  451,  452,  465,  466, 467, 480, 481, 482, 495, 496,
                        497, 526, 1017, 1100, 1101, 1102, 1103, 1200, 1201, 1202, 1203};
  for (int id : voices) {
    char name[16];
    std::snprintf(name, sizeof name, "voice%04d", id);
    sounds.push_back({id, name, id % 3 == 0 ? Recipe::kGrowl : Recipe::kVoice});
  }
  return sounds;
}

struct SoundGroupDef {
  int id;
  std::vector<int> members;
  Recipe recipe;  // of the members, which are made here
};

// Sounds with several recorded variants: a group id plays one member at random.
std::vector<SoundGroupDef> GameGroups() {
  return {
      {500, {5001, 5002, 5003}, Recipe::kStep},   {501, {5011, 5012, 5013}, Recipe::kStep},
      {502, {5021, 5022, 5023}, Recipe::kStep},   {503, {5031, 5032, 5033}, Recipe::kStep},
      {505, {5051, 5051, 5052}, Recipe::kSplash},  // a member listed twice plays twice as often
  };
}

std::string MemberName(int id) { return "step" + std::to_string(id); }

FORGE_STEP(SoundSets) {
  IniText ini;
  ini.Comment("Sound effects: id=WAVE file name (without .wav) in this folder");
  ini.Section("Sounds");
  for (const SoundDef& sound : GameSounds()) {
    WaveLayout layout = LayoutOf(sound.recipe);
    ini.Key(std::to_string(sound.id), sound.name);
    ctx.WriteFile("Sounds\\" + sound.name + ".wav", WaveFileBytes(layout, Synthesise(sound, layout)));
  }
  std::set<int> members;
  for (const SoundGroupDef& group : GameGroups()) {
    for (int member : group.members) {
      if (!members.insert(member).second) continue;
      std::string name = MemberName(member);
      ini.Key(std::to_string(member), name);
      WaveLayout layout = LayoutOf(group.recipe);
      ctx.WriteFile("Sounds\\" + name + ".wav", WaveFileBytes(layout, Synthesise({member, "", group.recipe}, layout)));
    }
  }

  ini.Comment("Groups: id=members, one played at random");
  ini.Section("Randomised");
  for (const SoundGroupDef& group : GameGroups()) {
    std::string members;
    for (int member : group.members) members += (members.empty() ? "" : ",") + std::to_string(member);
    ini.Key(std::to_string(group.id), members);
  }

  // Level 1 is the whole game: the interface sounds stay loaded, the ambient loops may go.
  ini.Section("1 Load Permanent");
  for (int id : {801, 802, 804, 808, 812, 813, 820, 821, 410, 1011, 99999}) ini.Line(std::to_string(id));
  ini.Section("1 Load Temporary");
  for (int id : {1021, 721, 752, 1044}) ini.Line(std::to_string(id));

  ini.Section("Tuning").Key("MaxSoundDistance", 60).Key("MaxPanDistance", 20);
  ctx.WriteText("Sounds\\Sounds.ini", ini.Text());
}

}  // namespace

std::vector<SampleWave> SampleWaves() {
  std::vector<SampleWave> samples;
  auto add = [&](const char* name, WaveLayout layout, double pan) {
    double seconds = 0.05;
    Synth synth(layout.rate, seconds);
    synth.Tone(0, seconds, 440, 0.8).Noise(0, seconds, 0.2, 0.5, layout.rate);
    samples.push_back({name, layout, synth.Render(layout.channels, pan)});
  };
  add("pcm8_mono_11025", {1, 11025, 8, false}, 0);
  add("pcm8_stereo_22050", {2, 22050, 8, false}, 0.5);
  add("pcm16_mono_22050", {1, 22050, 16, false}, 0);
  add("pcm16_stereo_44100", {2, 44100, 16, false}, -0.5);
  add("pcm16_mono_22050_fmt18", {1, 22050, 16, true}, 0);
  return samples;
}

namespace {

FORGE_STEP(SampleWaveFiles) {
  for (const SampleWave& sample : SampleWaves())
    ctx.WriteFile("samples\\wave\\" + sample.name + ".wav", WaveFileBytes(sample.layout, sample.samples));
}

}  // namespace

}  // namespace forge
