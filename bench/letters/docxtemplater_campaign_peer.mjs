// The peer of the letter campaign benchmark: renders every recipient's letter with docxtemplater
// into ONE document (the letter's body in a loop over the recipients, a page break closing each
// letter), the tags in the same angle brackets, and prints the median time per render in
// milliseconds and the process's peak resident memory in KiB as one JSON object.
// Usage: node docxtemplater_campaign_peer.mjs TEMPLATE RECIPIENTS.json RUNS OUTPUT
import { readFileSync, writeFileSync } from "node:fs";
import PizZip from "pizzip";
import Docxtemplater from "docxtemplater";

const [template, recipientsFile, runsText, output] = process.argv.slice(2);
const data = JSON.parse(readFileSync(recipientsFile, "utf8"));
const runs = Number(runsText);

function render() {
  const doc = new Docxtemplater(new PizZip(readFileSync(template)), {
    delimiters: { start: "<", end: ">" },
    paragraphLoop: true,
  });
  doc.render(data);
  writeFileSync(output, doc.getZip().generate({ type: "nodebuffer", compression: "DEFLATE" }));
}

const samples = [];
for (let i = 0; i < runs; i += 1) {
  const start = process.hrtime.bigint();
  render();
  samples.push(Number(process.hrtime.bigint() - start) / 1e6);
}
samples.sort((a, b) => a - b);
process.stdout.write(
  `${JSON.stringify({ median: samples[Math.floor(samples.length / 2)], peakKiB: process.resourceUsage().maxRSS })}\n`,
);
