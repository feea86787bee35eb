#include "map/TerrainAnimation.h"

#include "graphics/Animation.h"

namespace {

class FilePlayer : public ITerrainAnimPlayer {
 public:
  explicit FilePlayer(CAnimation& animation) { player_.SetAnimation(&animation); }
  void Start(int sequence) override {
    player_.Start(sequence, 0);
    Remember();
  }
  void Advance() override {
    player_.Advance();
    Remember();
  }
  bool IsPlaying() const override { return player_.playing != 0; }
  int CurrentFrame() const override { return lastFrame_; }
  void SetLoopBreak() override { player_.loopBreak = 1; }
  int Save(FILE* file) const override { return player_.Save(file); }
  int Load(FILE* file) override {
    int read = player_.Load(file);
    Remember();
    return read;
  }

 private:
  // The frame shown; once the sequence ends the player shows none, and the last one stays.
  void Remember() {
    int frame = player_.CurrentFrame();
    if (frame >= 0) lastFrame_ = frame;
  }
  CAnimPlayer player_;
  int lastFrame_ = 0;
};

}  // namespace

bool CTerrainAnimationFile::HasSequence(int sequence) const { return animation_.HasSequence(sequence); }

int CTerrainAnimationFile::FirstFrame(int sequence) const { return animation_.GetFirstFrame(sequence); }

std::unique_ptr<ITerrainAnimPlayer> CTerrainAnimationFile::NewPlayer() const {
  return std::make_unique<FilePlayer>(animation_);
}
