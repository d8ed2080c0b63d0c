// Whatever receives evaluation messages: the evaluator, its decision matrix
// and the evaluation documents.
#pragma once

class CEvalMessage;

class CMessageTarget {
public:
    virtual void Message(const CEvalMessage* message) = 0;

protected:
    ~CMessageTarget() = default;
};
