#include "uParticleSystem.h"
#include "uGLState.h"
#include "uRandom.h"

#include <GL/gl.h>
#include <cmath>

namespace {

// mean ± spread, uniformly.
float Spread(float mean, float spread) {
    return (2.0f * EffectRandomFloat() - 1.0f) * spread + mean;
}

} // namespace

TParticleSystem::TParticleSystem(uint32_t texture) : Texture(texture) {}

TParticleSystem::~TParticleSystem() {
    while (!Particles.IsEmpty()) {
        delete Particles.First()->Data;
        Particles.Unlink(Particles.First());
    }
}

void TParticleSystem::Emit(const TCamera& camera, double now) {
    for (int32_t i = 0; i < EmitPerFrame && Count < MaxParticles; ++i) {
        auto* p = new TParticle;
        float x = camera.TargetX + 10.0f * EffectRandomFloat() - 5.0f;
        float y = camera.TargetY + 10.0f * EffectRandomFloat() - 5.0f;
        p->Position = VectorMake(x, y, camera.Distance - 5.0f);
        float a = Spread(AngleAMean, AngleASpread);
        float b = Spread(AngleBMean, AngleBSpread);
        dVector3 direction = VectorMake(-std::sin(a) * std::cos(b), std::sin(b), std::cos(b) * std::cos(a));
        p->Velocity = VectorScale(direction, Spread(SpeedMean, SpeedSpread));
        p->Birth = now;
        p->Death = now + std::nearbyint(Spread(LifetimeMean, LifetimeSpread));
        p->Size = ParticleSize;
        Particles.Add(p);
        ++Count;
    }
}

void TParticleSystem::Update(float dt, double now) {
    for (TNode<TParticle>* node = Particles.First(); !node->IsTail(); node = node->Next) {
        TParticle* p = node->Data;
        if (p->Death > now) {
            p->Position = VectorAdd(p->Position, VectorScale(p->Velocity, dt));
            p->Velocity = VectorAdd(p->Velocity, VectorScale(Acceleration, dt));
        } else {
            delete p;
            node = Particles.Unlink(node);
            --Count;
        }
    }
}

float TParticleSystem::Alpha(const TParticle& particle, double now) {
    double life = particle.Death - particle.Birth;
    if (life <= 0)
        return 0;
    double age = now - particle.Birth;
    return float((1.0 - age / life) * 0.7);
}

void TParticleSystem::Draw(TQuadBatch& batch, double now) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    dVector3 right = VectorMake(m[0], m[4], m[8]), up = VectorMake(m[1], m[5], m[9]);
    batch.Begin();
    batch.SetTexture(Texture);
    for (TNode<TParticle>* node = Particles.First(); !node->IsTail(); node = node->Next) {
        const TParticle& p = *node->Data;
        batch.SetColor(Color.x, Color.y, Color.z, Alpha(p, now));
        BillboardQuad(batch, p.Position, VectorScale(right, p.Size), VectorScale(up, p.Size));
    }
    batch.End();
    glDepthMask(GL_TRUE);
    glPopAttrib();
}

std::unique_ptr<TParticleSystem> CreateParticleEffect(int32_t type, uint32_t texture) {
    if (type != ParticleSnow)
        return nullptr;
    auto snow = std::make_unique<TParticleSystem>(texture);
    snow->AngleAMean = 3.14159265f; // straight down
    snow->AngleASpread = 0.3f;
    snow->AngleBMean = 0;
    snow->AngleBSpread = 0.3f;
    snow->SpeedMean = 2.0f;
    snow->SpeedSpread = 0.001f;
    snow->MaxParticles = 500;
    snow->LifetimeMean = 5000;
    snow->LifetimeSpread = 500;
    snow->EmitPerFrame = 1;
    snow->ParticleSize = 0.04f;
    return snow;
}
