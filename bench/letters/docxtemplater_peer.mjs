// The peer of the letters benchmark: renders each template with docxtemplater, the tags in the
// same angle brackets, the values from a JSON object of tag name to value, and prints the median
// time per render in milliseconds as one JSON object keyed by template path.
// Usage: node docxtemplater_peer.mjs VALUES.json RUNS TEMPLATE...
import { readFileSync, writeFileSync } from "node:fs";
import PizZip from "pizzip";
import Docxtemplater from "docxtemplater";

const [valuesFile, runsText, ...templates] = process.argv.slice(2);
const values = JSON.parse(readFileSync(valuesFile, "utf8"));
const runs = Number(runsText);

function render(bytes, output) {
  const doc = new Docxtemplater(new PizZip(bytes), { delimiters: { start: "<", end: ">" }, paragraphLoop: true });
  doc.render(values);
  writeFileSync(output, doc.getZip().generate({ type: "nodebuffer", compression: "DEFLATE" }));
}

const times = {};
for (const template of templates) {
  const output = `${template}.docxtemplater.docx`;
  const samples = [];
  // One render before timing, as the C++ side warms its caches too.
  render(readFileSync(template), output);
  for (let i = 0; i < runs; i += 1) {
    const start = process.hrtime.bigint();
    render(readFileSync(template), output);
    samples.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  samples.sort((a, b) => a - b);
  times[template] = samples[Math.floor(samples.length / 2)];
}
process.stdout.write(`${JSON.stringify(times)}\n`);
