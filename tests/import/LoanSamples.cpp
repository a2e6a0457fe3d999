#include "LoanSamples.h"

namespace samples {

// Three books; Marie's loan is written twice, Paul borrowed the book the catalogue has
// already and another one, and a loan names an entry the file does not hold. Tellico
// marks a lent entry <loaned>true</loaned> and writes <borrowers> after </collection>.
std::string tellicoWithLoans(LoansPlace place) {
    const std::string borrowers = R"(
  <borrowers>
   <borrower name="Marie Dupont" uid="b1">
    <loan uid="l1" entryRef="1" loanDate="2024-02-20" dueDate="2024-03-20">avec sa jaquette</loan>
    <loan uid="l1" entryRef="1" loanDate="2024-02-20" dueDate="2024-03-20">avec sa jaquette</loan>
   </borrower>
   <borrower name="Paul" uid="b2">
    <loan uid="l2" entryRef="2" loanDate="2024-01-05"/>
    <loan uid="l3" entryRef="3" loanDate="2024-03-01"/>
    <loan uid="l4" entryRef="77" loanDate="2024-03-01"/>
   </borrower>
  </borrowers>)";
    const bool inside = place == LoansPlace::insideCollection;
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE tellico PUBLIC "-//Robby Stephenson/DTD Tellico V11.0//EN" "http://periapsis.org/tellico/dtd/v11/tellico.dtd">
<tellico xmlns="http://periapsis.org/tellico/" syntaxVersion="11">
 <collection title="Mes livres" type="2">
  <fields>
   <field name="_default"/>
  </fields>
  <entry id="1">
   <title>Germinal</title>
   <authors><author>Émile Zola</author></authors>
   <loaned>true</loaned>
  </entry>
  <entry id="2">
   <title>Les Misérables</title>
   <authors><author>x</author></authors>
   <loaned>true</loaned>
  </entry>
  <entry id="3">
   <title>Nana</title>
   <authors><author>Émile Zola</author></authors>
   <loaned>true</loaned>
  </entry>)" +
           (inside ? borrowers : "") + R"(
 </collection>)" +
           (inside ? "" : borrowers) + R"(
 <filters>
  <filter name="Zola" match="all">
   <rule field="author" function="contains" pattern="Zola"/>
  </filter>
 </filters>
</tellico>
)";
}

} // namespace samples
